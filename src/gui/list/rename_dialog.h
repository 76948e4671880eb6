#pragma once

#include "run/single_rename.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace renomiq {

struct Platform;
class NameEngine;
class SettingsStore;

// The rename dialog: renames the one item selected in the list window.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    TForm2(Platform &platform, NameEngine &engine, const SettingsStore &settings, QWidget *parent = nullptr);

    // OpenRenameDialog for the item at oldPath; folderBox is the folder of the
    // listed rows, ending with '\', in folder mode, empty in files mode. Returns the row's new
    // text, or empty when nothing was renamed.
    std::string renameItem(const std::string &oldPath, const std::string &folderBox);

    QLineEdit *nameBox() const { return m_name; }
    QLineEdit *extensionBox() const { return m_extension; }
    QLabel *extensionLabel() const { return m_extensionLabel; }

private:
    void fill(const SingleRename::Fields &fields);
    void okClicked();

    SingleRename m_rename;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_extension = nullptr;
    QLabel *m_extensionLabel = nullptr;
    std::string m_oldPath;
    SingleRename::Fields m_opened; // the boxes as the dialog opened
    std::string m_folderBox;
    std::string m_result;
};

} // namespace renomiq
