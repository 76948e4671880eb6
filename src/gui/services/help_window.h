#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace renomiq {

// The program's help: an index of the topics (searched by the words of their
// titles and texts), the topic shown, Back and Forward through the topics seen.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // `folder`: the folder of the topics ("*.htm").
    explicit HelpWindow(const QString &folder, QWidget *parent = nullptr);

    // False when the folder holds no topic.
    bool hasTopics() const { return !m_files.isEmpty(); }
    // Shows a topic by its file name ("Remove.htm"); the first topic of the
    // index when there is no such file.
    void showTopic(const QString &fileName);
    // The file name of the topic shown.
    QString currentTopic() const;

    QLineEdit *searchBox() const { return m_search; }
    QListWidget *index() const { return m_index; }
    QTextBrowser *browser() const { return m_browser; }
    QPushButton *backButton() const { return m_back; }
    QPushButton *forwardButton() const { return m_forward; }
    // The titles the index shows now, in order.
    QStringList visibleTitles() const;
    // The program's name, version and licence, under the topics.
    QString aboutText() const;

private:
    void loadTopics();
    void filterIndex(const QString &words);
    void selectInIndex(const QUrl &source);
    static QString topicOf(const QUrl &source);

    QString m_folder;
    QStringList m_files;  // file names, in index order
    QStringList m_titles; // their titles
    QStringList m_texts;  // their plain texts, for the search
    QLineEdit *m_search = nullptr;
    QListWidget *m_index = nullptr;
    QLabel *m_about = nullptr;
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QPushButton *m_contents = nullptr;
};

} // namespace renomiq
