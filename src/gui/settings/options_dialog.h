#pragma once

#include "settings/number_box.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QPushButton;
class QTabWidget;

namespace renomiq {

struct Platform;
class FolderHistory;
class NameHistory;
class SettingsStore;
class TForm8;

// The options dialog's check boxes and push buttons.
enum class OptionCheck {
    ExitAfter,
    DisplayResult,
    ContextMenu,
    Confirm,
    EndSound,
    CheckBoxes,
    AutoCopy,
    CapitalEvery,
    DontOpenAfterSave,
    PreviewMaximum
};
enum class OptionsButton { Default, Help, Cancel, Ok };

// The options dialog: the options of the settings store on four tabs and the
// two history lists. "Ok" stores; every other way of closing throws the edits away.
class TForm7 : public QDialog {
    Q_OBJECT

public:
    TForm7(SettingsStore &settings, NameHistory &names, FolderHistory &folders, Platform &platform,
           QWidget *parent = nullptr);

    // Shows the dialog modally, on the tab last shown; with previewTab, on "Preview".
    void showOptions(bool previewTab = false);
    // The store's values changed (an option load): the controls show them.
    void optionsLoaded();
    // The name list editor changed the new-name list maximum.
    void nameListMaxChanged();

    QTabWidget *tabs() const { return m_tabs; }
    QCheckBox *checkBox(OptionCheck which) const;
    QPushButton *button(OptionsButton which) const;
    NumberBox *previewNumber() const { return m_previewNumber; }
    NumberBox *nameListMax() const { return m_nameListMax; }
    NumberBox *folderListMax() const { return m_folderListMax; }

Q_SIGNALS:
    // The check-box option to apply: (shown, check every row).
    void checkBoxOptionChanged(bool shown, bool checkAll);
    // The used-folder list was cleared.
    void usedFoldersCleared();
    // "Edit" of the new-name list, and the list cleared.
    void nameListEditRequested();
    void nameListCleared();
    void helpRequested();

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *generalTab();
    QWidget *renameTab();
    QWidget *previewTab();
    QWidget *historyTab();
    QCheckBox *addCheck(const char *caption, const char *hint = nullptr);
    void toControls();
    void fromControls();
    void okClicked();
    void requestHelp();
    void defaults();

    SettingsStore &m_settings;
    NameHistory &m_names;
    FolderHistory &m_folders;
    Platform &m_platform;
    QTabWidget *m_tabs = nullptr;
    QPushButton *m_defaultButton = nullptr;
    QPushButton *m_helpButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_okButton = nullptr;
    QCheckBox *m_exitAfter = nullptr, *m_displayResult = nullptr, *m_contextMenu = nullptr, *m_confirm = nullptr,
              *m_endSound = nullptr, *m_checkBoxOption = nullptr, *m_autoCopy = nullptr, *m_capEvery = nullptr,
              *m_dontOpen = nullptr, *m_previewMax = nullptr;
    NumberBox *m_previewNumber = nullptr;
    NumberBox *m_nameListMax = nullptr;
    NumberBox *m_folderListMax = nullptr;
    bool m_okFlag = false;
    int m_referenceMax = 20;
};

} // namespace renomiq
