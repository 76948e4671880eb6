# fish completion for renomiq-cli: kinds, fields with their values, options, paths.

set -l kinds remove replace insert change extension export-folder export-files Removpart Replapart Addnewnum Changnew Changexten Savealls Savesomes
set -l saves export-folder export-files Savealls Savesomes

complete -c renomiq-cli -n __fish_use_subcommand -f -a 'remove' -d 'Remove strings from the names (Removpart)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'replace' -d 'Replace a part of the names (Replapart)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'insert' -d 'Insert text or numbers (Addnewnum)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'change' -d 'New names or their letter case (Changnew)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'extension' -d 'Change the extensions (Changexten)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'export-folder' -d 'Save the names of a folder (Savealls)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'export-files' -d 'Save the names of files (Savesomes)'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'Removpart Replapart Addnewnum Changnew Changexten Savealls Savesomes'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'undo' -d 'Undo the last operation'
complete -c renomiq-cli -n __fish_use_subcommand -f -a 'history' -d 'List the operations kept for undo'
complete -c renomiq-cli -n __fish_use_subcommand -l help -d 'Show the help'
complete -c renomiq-cli -n __fish_use_subcommand -l version -d 'Show the version'

complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds" -l yes -d 'Answer OK/Yes to every question'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l scope -x -a '0\t"the folder\'s files" 1\t"all layers" 2\t"only subfolders" 3\t"the folder itself"' -d 'What of the folder to rename'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l preview -d 'Print old and new names, rename nothing'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l limit -x -a 'all' -d 'Rows of the preview: a number, or all'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l format -x -a 'text json' -d 'Rows as text or as JSON'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l no-undo -d 'Rename even when no undo log can be written'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds; and not __fish_seen_subcommand_from $saves" -l jobs -x -a '1 2 3 4 5 6 7 8' -d 'Threads that rename folders in parallel'
complete -c renomiq-cli -n "__fish_seen_subcommand_from $saves" -l output -r -F -d 'The text file to write'
complete -c renomiq-cli -n '__fish_seen_subcommand_from undo' -l log -r -F -d 'The undo log to reverse'
complete -c renomiq-cli -n '__fish_seen_subcommand_from undo' -l steps -x -a '(seq 1 20)' -d 'Undo the N newest operations'
complete -c renomiq-cli -n '__fish_seen_subcommand_from undo' -l yes -d 'Answer Yes to the question'

# FIELD=VALUE: the fields, then the values of those that take a fixed list.
function __renomiq_cli_fields
    set -l token (commandline -ct)
    set -l choices \
        removeMode=strings,anything,keep,clean anythingMode=selectedPart,betweenTwoStrings \
        keepMode=selectedPart,strings replaceMode=string,selectedLength insertMode=toPosition,toString \
        placement=before,behind,between changeMode=newName,convertCase nameCase=lower,upper,capitalizeEveryWord \
        extensionMode=change,convertCase extensionCase=lower,upper content=oneLayer,allLayers,onlySubfolders \
        removeDirection=fromHead,fromEnd keepDirection=fromHead,fromEnd replaceDirection=fromHead,fromEnd \
        cursorDirection=fromHead,fromEnd numberOrder=name,taken
    set -l flags removeCaseSensitive removeOnlyLeftmost alsoRemoveTheTwoStrings keepOnlyLeftmost \
        replaceErasedWithSpace alsoEraseOthers keepDash keepParentheses keepBrackets keepUnderscore keepOthers \
        replaceCaseSensitive replaceOnlyLeftmost replaceRegex atHead atEnd atCursor capitalizeFirstLetter includeExtension \
        excludeSmallWords replaceAllTypes useSpecialStrings randomUpper randomLower randomDigits \
        includeWebpageFolder specialTypes music document film picture program other fileSize fileDateTime
    set -l texts sampleName selectionStart selectionLength cursorPosition previewLimit removeString1 \
        removeString2 removeString3 leftString rightString keepString1 keepString2 alsoEraseText keepOthersText \
        oldString newString headText endText cursorText existingString secondString insertText newName \
        oldExtension newExtension startNumber otherTypes
    if string match -q -- '*=*' $token
        set -l field (string split -m1 = -- $token)[1]
        if contains -- $field $flags
            printf '%s=%s\n' $field true $field false
        end
        for choice in $choices
            set -l parts (string split -m1 = -- $choice)
            if test $parts[1] = $field
                for value in (string split , -- $parts[2])
                    printf '%s=%s\n' $field $value
                end
            end
        end
        return
    end
    for choice in $choices
        printf '%s=\n' (string split -m1 = -- $choice)[1]
    end
    printf '%s=\n' $flags $texts
end
complete -c renomiq-cli -n "__fish_seen_subcommand_from $kinds" -a '(__renomiq_cli_fields)'
