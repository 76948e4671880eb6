# bash completion for renomiq-cli: kinds, fields with their values, options, paths.

_renomiq_cli_fields='sampleName selectionStart selectionLength cursorPosition previewLimit
removeMode removeString1 removeString2 removeString3 removeCaseSensitive removeOnlyLeftmost
anythingMode removeDirection leftString rightString alsoRemoveTheTwoStrings keepMode
keepDirection keepString1 keepString2 keepOnlyLeftmost replaceErasedWithSpace alsoEraseOthers
alsoEraseText keepDash keepParentheses keepBrackets keepUnderscore keepOthers keepOthersText
replaceMode oldString newString replaceCaseSensitive replaceOnlyLeftmost replaceDirection replaceRegex
insertMode atHead headText atEnd endText atCursor cursorText cursorDirection placement
existingString secondString insertText changeMode newName nameCase capitalizeFirstLetter
includeExtension excludeSmallWords extensionMode replaceAllTypes oldExtension newExtension
extensionCase useSpecialStrings startNumber numberOrder randomUpper randomLower randomDigits content
includeWebpageFolder specialTypes music document film picture program other otherTypes
fileSize fileDateTime'

# The values a field takes, when they are a fixed list.
_renomiq_cli_values()
{
    case $1 in
        removeMode) echo 'strings anything keep clean' ;;
        anythingMode) echo 'selectedPart betweenTwoStrings' ;;
        keepMode) echo 'selectedPart strings' ;;
        replaceMode) echo 'string selectedLength' ;;
        insertMode) echo 'toPosition toString' ;;
        placement) echo 'before behind between' ;;
        changeMode) echo 'newName convertCase' ;;
        nameCase) echo 'lower upper capitalizeEveryWord' ;;
        extensionMode) echo 'change convertCase' ;;
        extensionCase) echo 'lower upper' ;;
        content) echo 'oneLayer allLayers onlySubfolders' ;;
        numberOrder) echo 'name taken' ;;
        removeDirection | keepDirection | replaceDirection | cursorDirection) echo 'fromHead fromEnd' ;;
        removeCaseSensitive | removeOnlyLeftmost | alsoRemoveTheTwoStrings | keepOnlyLeftmost | \
            replaceErasedWithSpace | alsoEraseOthers | keepDash | keepParentheses | keepBrackets | \
            keepUnderscore | keepOthers | replaceCaseSensitive | replaceOnlyLeftmost | replaceRegex | atHead | atEnd | \
            atCursor | capitalizeFirstLetter | includeExtension | excludeSmallWords | replaceAllTypes | \
            useSpecialStrings | randomUpper | randomLower | randomDigits | includeWebpageFolder | \
            specialTypes | music | document | film | picture | program | other | fileSize | fileDateTime)
            echo 'true false' ;;
    esac
}

_renomiq_cli()
{
    local cur prev words cword
    _init_completion -n = || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W 'remove replace insert change extension export-folder export-files
            Removpart Replapart Addnewnum Changnew Changexten Savealls Savesomes undo history --help --version' -- "$cur"))
        return
    fi

    case $prev in
        --scope) COMPREPLY=($(compgen -W '0 1 2 3' -- "$cur")); return ;;
        --limit) COMPREPLY=($(compgen -W 'all' -- "$cur")); return ;;
        --steps) COMPREPLY=($(compgen -W '1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20' -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W 'text json' -- "$cur")); return ;;
        --jobs) COMPREPLY=($(compgen -W '1 2 3 4 5 6 7 8' -- "$cur")); return ;;
        --output | --log) _filedir; return ;;
    esac

    local options
    case ${words[1]} in
        undo) options='--log --steps --yes' ;;
        history) options='' ;;
        export-folder | export-files | Savealls | Savesomes) options='--output --yes' ;;
        *) options='--scope --preview --limit --format --jobs --yes --no-undo' ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help --version" -- "$cur"))
        return
    fi
    [[ ${words[1]} == undo || ${words[1]} == history ]] && return

    if [[ $cur == *=* ]]; then
        local field=${cur%%=*}
        local values
        values=$(_renomiq_cli_values "$field")
        [[ -n $values ]] && COMPREPLY=($(compgen -W "$values" -P "$field=" -- "${cur#*=}"))
        return
    fi

    # Fields come before the targets; after a target only targets.
    local i target=
    for ((i = 2; i < cword; i++)); do
        case ${words[i]} in
            --scope | --limit | --format | --output | --log) ((i++)) ;;
            -*) ;;
            *=*) [[ ${words[i]} == */* ]] && target=1 ;;
            *) target=1 ;;
        esac
    done
    if [[ -z $target ]]; then
        COMPREPLY=($(compgen -W "$_renomiq_cli_fields" -S = -- "$cur"))
        compopt -o nospace
    fi
    _filedir
}
complete -F _renomiq_cli renomiq-cli
