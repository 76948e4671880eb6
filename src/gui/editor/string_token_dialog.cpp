#include "editor/string_token_dialog.h"

#include "editor/editor_panel.h"
#include "editor/editor_texts.h"
#include "editor/help_topics.h"
#include "editor/string_token_text.h"
#include "engine/edit_request.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/qt_text.h"
#include "settings/number_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace renomiq {

namespace {

QLabel *highlighted(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAccessibleName(text);
    l->setStyleSheet(QStringLiteral("QLabel { background: #fff3a0; color: #b00000; font-weight: bold; padding: 0 2px; }"));
    return l;
}

QLabel *plain(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAccessibleName(text.trimmed());
    return l;
}

// A line of labels side by side.
QWidget *line(QWidget *parent, std::initializer_list<QWidget *> parts)
{
    auto *w = new QWidget(parent);
    auto *layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget *p : parts)
        layout->addWidget(p);
    layout->addStretch();
    return w;
}

} // namespace

TForm3::TForm3(Platform &platform, QWidget *parent) : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Renomiq - Special string"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);

    m_use = new QCheckBox(QStringLiteral("Use Special string symbols "), this);
    m_use->setAccessibleName(QStringLiteral("Use Special string symbols"));
    m_use->setChecked(true);
    layout->addWidget(line(this, {m_use, plain(QStringLiteral(" (If dont use, not select and click OK button) "), this)}));

    auto *grid = new QGridLayout;
    auto *kinds = new QButtonGroup(this);
    connect(kinds, &QButtonGroup::buttonToggled, this, [kinds] { boldChosen(kinds); });
    const auto kindButton = [&](const QString &caption, bool checked) {
        auto *b = new QRadioButton(caption, this);
        b->setAccessibleName(caption.trimmed());
        kinds->addButton(b);
        b->setChecked(checked);
        return b;
    };
    for (int row = 0; row < 7; ++row)
        grid->addWidget(plain(QString::number(row + 1) + QLatin1Char(','), this), row * 2, 0, Qt::AlignTop);

    // 1, ordered numbers
    m_ordered = kindButton(QStringLiteral("Ordered  numbers: "), true);
    m_begin = new NumberBox(platform.prompter, 0, 10000, this);
    // The arrows and a value set may pass the limit; the box then takes it back.
    m_begin->setMaximum(99999);
    m_begin->setValue(1);
    m_begin->setAccessibleName(QStringLiteral("Begin with :"));
    grid->addWidget(m_ordered, 0, 1);
    // Numbers in the order the photos were taken, each work list on its own.
    m_takenOrder = new QCheckBox(QStringLiteral("in the order taken"), this);
    m_takenOrder->setAccessibleName(m_takenOrder->text());
    grid->addWidget(line(this, {plain(QStringLiteral("Begin with : "), this), m_begin, plain(QStringLiteral("  "), this),
                                m_takenOrder}),
                    0, 2);
    grid->addWidget(line(this, {plain(QStringLiteral("Example: a"), this), highlighted(QStringLiteral("$$$"), this),
                                plain(QStringLiteral("c  means a001c, a002c, a003c ..."), this)}),
                    1, 1, 1, 2);

    // 2, today's date in six formats
    m_today = kindButton(QStringLiteral("Today: "), false);
    grid->addWidget(m_today, 2, 1, Qt::AlignTop);
    auto *dates = new QWidget(this);
    auto *datesGrid = new QGridLayout(dates);
    datesGrid->setContentsMargins(0, 0, 0, 0);
    auto *dateGroup = new QButtonGroup(this);
    connect(dateGroup, &QButtonGroup::buttonToggled, this, [dateGroup] { boldChosen(dateGroup); });
    for (int i = 0; i < 6; ++i) {
        m_dates[static_cast<std::size_t>(i)] = new QRadioButton(dates);
        dateGroup->addButton(m_dates[static_cast<std::size_t>(i)]);
        datesGrid->addWidget(m_dates[static_cast<std::size_t>(i)], i / 3, i % 3);
    }
    m_dates[0]->setChecked(true);
    grid->addWidget(dates, 2, 2, 2, 1);

    // 3 to 5, file date, size and folder name
    m_fileDate = kindButton(QStringLiteral("File date "), false);
    grid->addWidget(m_fileDate, 4, 1);
    grid->addWidget(line(this, {plain(QStringLiteral("[each file's modified date, by "), this),
                                highlighted(QStringLiteral("@@"), this), plain(QStringLiteral("]"), this)}),
                    4, 2);
    m_fileSize = kindButton(QStringLiteral("File size"), false);
    grid->addWidget(m_fileSize, 6, 1);
    grid->addWidget(line(this, {plain(QStringLiteral("[each file's size, by "), this),
                                highlighted(QStringLiteral("##"), this), plain(QStringLiteral("]"), this)}),
                    6, 2);
    m_folderName = kindButton(QStringLiteral("Folder name"), false);
    grid->addWidget(m_folderName, 8, 1);
    grid->addWidget(line(this, {plain(QStringLiteral(" [each file's folder name, by "), this),
                                highlighted(QStringLiteral("%%"), this), plain(QStringLiteral("]"), this)}),
                    8, 2);

    // 6, disordered names
    m_disordered = kindButton(QStringLiteral("Disordered names: "), false);
    m_upper = new QCheckBox(QStringLiteral("Upper case"), this);
    m_lower = new QCheckBox(QStringLiteral("Lower case"), this);
    m_numbers = new QCheckBox(QStringLiteral("Numbers"), this);
    for (QCheckBox *c : {m_upper, m_lower, m_numbers}) {
        c->setAccessibleName(c->text());
        c->setChecked(true);
        connect(c, &QCheckBox::toggled, this, [this, c](bool on) { classToggled(c, on); });
    }
    grid->addWidget(m_disordered, 10, 1);
    grid->addWidget(line(this, {m_upper, m_lower, m_numbers}), 10, 2);
    grid->addWidget(line(this, {plain(QStringLiteral("Example: "), this), highlighted(QStringLiteral("%"), this),
                                plain(QStringLiteral("6"), this), highlighted(QStringLiteral("%"), this),
                                plain(QStringLiteral("  means a random 6 digits string."), this)}),
                    11, 1, 1, 2);

    // 7, a value from inside each file: photos and music
    m_metadata = kindButton(QStringLiteral("Metadata:"), false);
    m_metadataTokens = new QComboBox(this);
    m_metadataTokens->setAccessibleName(QStringLiteral("Metadata token"));
    for (const char *name : metadataTokenNames())
        m_metadataTokens->addItem(QStringLiteral("{") + QString::fromLatin1(name) + QStringLiteral("}"));
    m_metadataFormat = new QLineEdit(this);
    m_metadataFormat->setAccessibleName(QStringLiteral("Format:"));
    m_takenFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss");
    m_trackDigits = QStringLiteral("2");
    m_metadataFormat->setText(m_takenFormat);
    connect(m_metadataTokens, &QComboBox::currentIndexChanged, this, &TForm3::metadataTokenChosen);
    connect(m_metadataFormat, &QLineEdit::textEdited, this, [this] { m_metadata->setChecked(true); });
    grid->addWidget(m_metadata, 12, 1);
    grid->addWidget(line(this, {m_metadataTokens, plain(QStringLiteral("  Format: "), this), m_metadataFormat}), 12, 2);
    grid->addWidget(line(this, {plain(QStringLiteral("Example: "), this),
                                highlighted(QStringLiteral("{taken;yyyy-MM-dd HH.mm.ss}"), this),
                                plain(QStringLiteral("  means 2024-07-14 09.30.12, "), this),
                                highlighted(QStringLiteral("{track;2}"), this), plain(QStringLiteral("  means 03"), this)}),
                    13, 1, 1, 2);
    layout->addLayout(grid);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    for (QPushButton *b : {ok, cancel, help})
        b->setAccessibleName(b->text());
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TForm3::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TForm3::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_platform.help.showTopic(HelpTopics::forListWindow(true, false, false)); });
    layout->addWidget(buttons);

    boldChosen(kinds);
    boldChosen(dateGroup);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TForm3::execute()
{
    exec();
    return m_code;
}

void TForm3::showEvent(QShowEvent *event)
{
    m_code = Cancelled;
    m_savedUse = m_use->isChecked();
    m_savedBegin = m_begin->value();
    m_savedTakenOrder = m_takenOrder->isChecked();
    const auto captions = todayCaptions(m_platform.clock.now());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        m_dates[i]->setText(toQt(captions[i]));
        m_dates[i]->setAccessibleName(toQt(captions[i]));
    }
    QDialog::showEvent(event);
}

void TForm3::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        m_platform.help.showTopic(HelpTopics::forListWindow(true, false, false));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm3::accept()
{
    if (!m_use->isChecked())
        m_code = NotUsed;
    else if (m_ordered->isChecked())
        m_code = OrderedNumbers;
    else if (m_today->isChecked())
        m_code = Today;
    else if (m_disordered->isChecked())
        m_code = DisorderedNames;
    else if (m_fileDate->isChecked())
        m_code = FileDate;
    else if (m_fileSize->isChecked())
        m_code = FileSize;
    else if (m_folderName->isChecked())
        m_code = FolderName;
    else if (m_metadata->isChecked())
        m_code = Metadata;
    QDialog::accept();
}

void TForm3::done(int result)
{
    if (m_code == Cancelled) {
        m_use->setChecked(m_savedUse);
        m_takenOrder->setChecked(m_savedTakenOrder);
        const QSignalBlocker block(m_begin);
        m_begin->setValue(m_savedBegin);
    }
    QDialog::done(result);
}

std::string TForm3::textFor(int code, std::size_t workListEntries) const
{
    std::string today;
    for (QRadioButton *b : m_dates) {
        if (b->isChecked())
            today = fromQt(b->text());
    }
    const std::string token = metadataTokenFor(metadataTokenNames()[static_cast<std::size_t>(m_metadataTokens->currentIndex())],
                                               fromQt(m_metadataFormat->text()));
    return specialStringText(code, m_use->isChecked(), workListEntries, today, token);
}

void TForm3::metadataTokenChosen(int index)
{
    const std::string_view shown = metadataTokenNames()[static_cast<std::size_t>(m_shownToken)];
    if (shown == "taken")
        m_takenFormat = m_metadataFormat->text();
    else if (shown == "track")
        m_trackDigits = m_metadataFormat->text();
    const std::string_view chosen = metadataTokenNames()[static_cast<std::size_t>(index)];
    m_metadataFormat->setText(chosen == "taken" ? m_takenFormat : chosen == "track" ? m_trackDigits : QString());
    m_metadataFormat->setEnabled(chosen == "taken" || chosen == "track");
    m_shownToken = index;
    m_metadata->setChecked(true);
}

void TForm3::fill(EditRequest &r) const
{
    r.useSpecialStrings = m_use->isChecked();
    r.startNumber = m_begin->value();
    r.numberOrder = m_takenOrder->isChecked() ? NumberOrder::Taken : NumberOrder::Name;
    r.randomUpper = m_upper->isChecked();
    r.randomLower = m_lower->isChecked();
    r.randomDigits = m_numbers->isChecked();
}

void TForm3::classToggled(QCheckBox *box, bool checked)
{
    if (checked || m_upper->isChecked() || m_lower->isChecked() || m_numbers->isChecked())
        return;
    {
        const QSignalBlocker block(box);
        box->setChecked(true);
    }
    m_platform.prompter.information("You have to select at least one choice.");
}

} // namespace renomiq
