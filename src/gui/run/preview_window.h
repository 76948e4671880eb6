#pragma once

#include "engine/edit_kind.h"
#include "run/window_set.h"

#include <QWidget>

#include <functional>
#include <string>

class QMenu;
class QPushButton;
class QTableView;

namespace renomiq {

struct Platform;
class PreviewModel;

// The preview window: old and new names side by side, and the run from here.
class TForm6 : public QWidget, public PreviewWindow {
    Q_OBJECT

public:
    // editKind: the edit whose preview it shows (for the caption).
    TForm6(Platform &platform, const EditKind &editKind, QWidget *parent = nullptr);

    // PreviewWindow
    void clearPreview() override;
    void addPreviewRow(const std::string &oldText, const std::string &newText) override;
    void showPreview(bool maximized) override;
    void closePreview() override;

    QTableView *list() const { return m_list; }
    PreviewModel *model() const { return m_model; }
    QPushButton *renameButton() const { return m_rename; }
    QPushButton *optionsButton() const { return m_options; }
    QPushButton *closeButton() const { return m_close; }
    // The list's pop-up menu as it would open now (the caller owns it).
    QMenu *createListMenu();

Q_SIGNALS:
    // "Rename": the editor's OK action. "Options": the options dialog on its
    // preview page. "Show On": a row's old text into the editor's sample.
    void renameRequested();
    void optionsRequested();
    void showOnRequested(const std::string &oldText);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *addButton(const QString &caption, const QString &hint);
    QString selectedOldText() const;

    Platform &m_platform;
    const EditKind &m_editKind;
    PreviewModel *m_model = nullptr;
    QTableView *m_list = nullptr;
    QWidget *m_bar = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_options = nullptr;
    // Between clearPreview and showPreview the rows wait, as a hidden list's redraw would.
    bool m_filling = false;
};

} // namespace renomiq
