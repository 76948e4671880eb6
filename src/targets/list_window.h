#pragma once

#include <QMainWindow>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTableView;
class QToolButton;

namespace renomiq {

struct Platform;

// The list window: the program's main window. Closing it ends the program.
class TForm4 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm4(Platform &platform, QWidget *parent = nullptr);

    QPushButton *button(const QString &caption) const;
    QLabel *statusPanel(int index) const;
    QComboBox *folderBox() const { return m_folderBox; }
    QTableView *fileList() const { return m_fileList; }
    QFrame *guidePanel() const { return m_guidePanel; }

private:
    QPushButton *addButton(const QString &caption, const QString &hint);
    QWidget *createGuidePanel();

    Platform &m_platform;
    QList<QPushButton *> m_buttons;
    QComboBox *m_folderBox = nullptr;
    QToolButton *m_upperDirectory = nullptr;
    QToolButton *m_checkSettings = nullptr;
    QTableView *m_fileList = nullptr;
    QFrame *m_guidePanel = nullptr;
    QLabel *m_status[2] = {nullptr, nullptr};
};

} // namespace renomiq
