#include "settings/name_list_dialog.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/qt_text.h"
#include "platform/text_lines.h"
#include "settings/name_history.h"
#include "settings/settings_store.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace renomiq {

TForm8::TForm8(NameHistory &names, SettingsStore &settings, Platform &platform, QWidget *parent)
    : QDialog(parent), m_names(names), m_settings(settings), m_platform(platform)
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("New name list"));
    m_text = new QPlainTextEdit;
    m_text->setAccessibleName(QStringLiteral("New name list"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_bar = new QWidget;
    m_bar->setFixedHeight(36);
    auto *saveButton = new QPushButton(QStringLiteral("Save"), m_bar);
    m_close = new QPushButton(QStringLiteral("Close"), m_bar);
    saveButton->setAccessibleName(QStringLiteral("Save"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    saveButton->setAutoDefault(false);
    m_close->setAutoDefault(false);
    saveButton->move(4, 4);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_bar);
    connect(saveButton, &QPushButton::clicked, this, &TForm8::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { m_saved = false; });
    resize(360, 320);
}

void TForm8::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // "Close" stays at the right edge, one pixel in.
    m_close->move(m_bar->width() - m_close->width() - 1, 4);
}

void TForm8::editList()
{
    FileSystem &fs = m_platform.fileSystem;
    if (auto content = fs.readFile(m_names.filePath(), NameHistory::kFileLimit)) {
        const std::vector<std::string> lines = splitLines(*content);
        QStringList text;
        for (const std::string &line : lines)
            text << toQt(line);
        m_text->setPlainText(text.join(QLatin1Char('\n')));
    }
    m_saved = true;
    exec();
}

void TForm8::save()
{
    const NameHistory::EditedSave saved = m_names.saveEditedText(fromQt(m_text->toPlainText()));
    if (!saved.written)
        m_platform.prompter.show({"Error", NameHistory::failureText(saved.written.error()), MessageIcon::Error,
                                  MessageButtons::Ok});
    if (saved.maximumChanged) {
        m_settings.writeNameListMax();
        Q_EMIT maximumChanged();
    }
    m_saved = true;
}

void TForm8::clearText()
{
    m_text->clear();
    m_saved = true;
}

void TForm8::done(int result)
{
    if (!m_saved) {
        const Answer answer = m_platform.prompter.show({"Save Confirmation", "The content changed, do you want to save ?",
                                                              MessageIcon::Question, MessageButtons::YesNoCancel});
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            save();
        } else {
            m_text->clear();
            m_saved = true;
        }
    }
    QDialog::done(result);
}

} // namespace renomiq
