#include "settings/options_dialog.h"

#include "platform/help.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "settings/folder_history.h"
#include "settings/name_history.h"
#include "settings/settings_store.h"
#include "settings/name_list_dialog.h"
#include "settings/number_box.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace renomiq {

TForm7::TForm7(SettingsStore &settings, NameHistory &names, FolderHistory &folders, Platform &platform,
               QWidget *parent)
    : QDialog(parent), m_settings(settings), m_names(names), m_folders(folders), m_platform(platform)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_tabs = new QTabWidget;
    m_tabs->setAccessibleName(QStringLiteral("Options"));
    m_tabs->addTab(generalTab(), QStringLiteral("General"));
    m_tabs->addTab(renameTab(), QStringLiteral("Rename"));
    m_tabs->addTab(previewTab(), QStringLiteral("Preview"));
    m_tabs->addTab(historyTab(), QStringLiteral("History list"));

    auto *bar = new QHBoxLayout;
    auto *defaultButton = m_defaultButton = new QPushButton(QStringLiteral("Default"));
    auto *help = m_helpButton = new QPushButton(QStringLiteral("Help"));
    auto *cancel = m_cancelButton = new QPushButton(QStringLiteral("Cancel"));
    auto *ok = m_okButton = new QPushButton(QStringLiteral("Ok"));
    ok->setDefault(true);
    // Enter presses the focused button; on any other control it presses "Ok".
    for (QPushButton *b : {defaultButton, help, cancel, ok})
        b->setAccessibleName(b->text());
    bar->addWidget(defaultButton);
    bar->addStretch();
    bar->addWidget(help);
    bar->addWidget(cancel);
    bar->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(bar);

    connect(defaultButton, &QPushButton::clicked, this, &TForm7::defaults);
    connect(help, &QPushButton::clicked, this, &TForm7::requestHelp);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &TForm7::okClicked);
    connect(m_exitAfter, &QCheckBox::toggled, this, [this](bool on) { m_displayResult->setChecked(!on); });
    connect(m_displayResult, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_exitAfter->setChecked(false);
    });

    toControls();
    setFixedSize(420, 300);
}

QCheckBox *TForm7::addCheck(const char *caption, const char *hint)
{
    auto *box = new QCheckBox(QString::fromLatin1(caption));
    box->setAccessibleName(box->text());
    if (hint) {
        box->setToolTip(QString::fromLatin1(hint));
        box->setAccessibleDescription(box->toolTip());
    }
    return box;
}

QCheckBox *TForm7::checkBox(OptionCheck which) const
{
    switch (which) {
    case OptionCheck::ExitAfter:
        return m_exitAfter;
    case OptionCheck::DisplayResult:
        return m_displayResult;
    case OptionCheck::ContextMenu:
        return m_contextMenu;
    case OptionCheck::Confirm:
        return m_confirm;
    case OptionCheck::EndSound:
        return m_endSound;
    case OptionCheck::CheckBoxes:
        return m_checkBoxOption;
    case OptionCheck::AutoCopy:
        return m_autoCopy;
    case OptionCheck::CapitalEvery:
        return m_capEvery;
    case OptionCheck::DontOpenAfterSave:
        return m_dontOpen;
    case OptionCheck::PreviewMaximum:
        return m_previewMax;
    }
    return nullptr;
}

QPushButton *TForm7::button(OptionsButton which) const
{
    switch (which) {
    case OptionsButton::Default:
        return m_defaultButton;
    case OptionsButton::Help:
        return m_helpButton;
    case OptionsButton::Cancel:
        return m_cancelButton;
    case OptionsButton::Ok:
        return m_okButton;
    }
    return nullptr;
}

QWidget *TForm7::generalTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_exitAfter = addCheck("Exit automatically after one operation");
    m_displayResult = addCheck("Display result after rename files");
    m_contextMenu = addCheck(" Intergrate with Windows Explorer context menu");
    m_confirm = addCheck(" Display OK confirmation box when begin rename");
    m_endSound = addCheck("Play the ending sound when end rename");
    m_checkBoxOption = addCheck("Display CheckBox in file list");
    m_checkBoxOption->hide(); // kept, loaded and stored, never shown
    for (QCheckBox *box : {m_exitAfter, m_displayResult, m_contextMenu, m_confirm, m_endSound, m_checkBoxOption})
        layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *TForm7::renameTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_autoCopy = addCheck("Automatically copy to input box when use mouse select",
                          "when select part of one old filename");
    m_capEvery = addCheck("Exclude 'a,and,of' etc. when Capitalize every words");
    m_dontOpen = addCheck("Don't open file after save filenames ");
    for (QCheckBox *box : {m_autoCopy, m_capEvery, m_dontOpen})
        layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *TForm7::previewTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Preview files number: "));
    m_previewNumber = new NumberBox(m_platform.prompter, 1, 1000);
    m_previewNumber->setAccessibleName(label->text());
    label->setBuddy(m_previewNumber);
    row->addWidget(label);
    row->addWidget(m_previewNumber);
    row->addStretch();
    layout->addLayout(row);
    m_previewMax = addCheck("Maximize the preview window when it shows");
    layout->addWidget(m_previewMax);
    layout->addStretch();
    return page;
}

QWidget *TForm7::historyTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *names = new QGroupBox(QStringLiteral("New name list"));
    names->setAccessibleName(names->title());
    auto *namesRow = new QHBoxLayout(names);
    auto *namesLabel = new QLabel(QStringLiteral("Max Number of list:"));
    m_nameListMax = new NumberBox(m_platform.prompter, 0, 100);
    m_nameListMax->setAccessibleName(QStringLiteral("New name list Max Number of list:"));
    namesLabel->setBuddy(m_nameListMax);
    auto *edit = new QPushButton(QStringLiteral("Edit"));
    auto *clearNames = new QPushButton(QStringLiteral("Clear"));
    edit->setAccessibleName(QStringLiteral("Edit"));
    clearNames->setAccessibleName(QStringLiteral("Clear new name list"));
    namesRow->addWidget(namesLabel);
    namesRow->addWidget(m_nameListMax);
    namesRow->addStretch();
    namesRow->addWidget(edit);
    namesRow->addWidget(clearNames);

    auto *folders = new QGroupBox(QStringLiteral("Used folder list"));
    folders->setAccessibleName(folders->title());
    auto *foldersRow = new QHBoxLayout(folders);
    auto *foldersLabel = new QLabel(QStringLiteral("Max Number of list:"));
    m_folderListMax = new NumberBox(m_platform.prompter, 0, 30);
    m_folderListMax->setAccessibleName(QStringLiteral("Used folder list Max Number of list:"));
    foldersLabel->setBuddy(m_folderListMax);
    auto *clearFolders = new QPushButton(QStringLiteral("Clear"));
    clearFolders->setAccessibleName(QStringLiteral("Clear used folder list"));
    foldersRow->addWidget(foldersLabel);
    foldersRow->addWidget(m_folderListMax);
    foldersRow->addStretch();
    foldersRow->addWidget(clearFolders);

    layout->addWidget(names);
    layout->addWidget(folders);
    layout->addStretch();

    connect(edit, &QPushButton::clicked, this, &TForm7::nameListEditRequested);
    connect(clearNames, &QPushButton::clicked, this, [this] {
        if (m_names.clear(m_platform.prompter))
            Q_EMIT nameListCleared();
    });
    connect(clearFolders, &QPushButton::clicked, this, [this] {
        if (m_folders.clear(m_platform.prompter))
            Q_EMIT usedFoldersCleared();
    });
    return page;
}

void TForm7::toControls()
{
    const Options &o = m_settings.options;
    const QSignalBlocker b1(m_exitAfter), b2(m_displayResult);
    m_exitAfter->setChecked(o.exitAfterOperation);
    m_displayResult->setChecked(o.displayResult);
    m_contextMenu->setChecked(o.contextMenu);
    m_confirm->setChecked(o.confirm);
    m_endSound->setChecked(o.endSound);
    m_checkBoxOption->setChecked(o.checkBox);
    m_autoCopy->setChecked(o.autoCopy);
    m_capEvery->setChecked(o.excludeSmallWords);
    m_dontOpen->setChecked(o.dontOpenAfterSave);
    m_previewMax->setChecked(o.previewMaximized);
    m_previewNumber->setValue(o.previewLimit);
    m_nameListMax->setValue(o.nameListMax);
    m_folderListMax->setValue(o.folderListMax);
}

void TForm7::fromControls()
{
    Options &o = m_settings.options;
    o.exitAfterOperation = m_exitAfter->isChecked();
    o.displayResult = m_displayResult->isChecked();
    o.contextMenu = m_contextMenu->isChecked();
    o.confirm = m_confirm->isChecked();
    o.endSound = m_endSound->isChecked();
    o.checkBox = m_checkBoxOption->isChecked();
    o.autoCopy = m_autoCopy->isChecked();
    o.excludeSmallWords = m_capEvery->isChecked();
    o.dontOpenAfterSave = m_dontOpen->isChecked();
    o.previewMaximized = m_previewMax->isChecked();
    // A text being typed counts as its value, kept within the box's range.
    for (NumberBox *box : {m_previewNumber, m_nameListMax, m_folderListMax})
        box->interpretText();
    o.previewLimit = m_previewNumber->value();
    o.nameListMax = m_nameListMax->value();
    o.folderListMax = m_folderListMax->value();
}

void TForm7::optionsLoaded()
{
    toControls();
    m_referenceMax = m_settings.options.nameListMax;
}

void TForm7::nameListMaxChanged()
{
    m_nameListMax->setValue(m_settings.options.nameListMax);
    m_referenceMax = m_settings.options.nameListMax;
}

void TForm7::showOptions(bool previewTab)
{
    if (previewTab)
        m_tabs->setCurrentIndex(2);
    toControls();
    m_referenceMax = m_settings.options.nameListMax;
    exec();
}

void TForm7::okClicked()
{
    fromControls();
    const bool checkAll = m_settings.saveOptions();
    Q_EMIT checkBoxOptionChanged(m_settings.options.checkBox, checkAll);
    m_okFlag = true;
    if (m_settings.options.nameListMax < m_referenceMax) {
        const Status trimmed = m_names.trim(m_referenceMax);
        if (!trimmed)
            m_platform.prompter.show({"Error", NameHistory::failureText(trimmed.error()), MessageIcon::Error,
                                      MessageButtons::Ok});
    }
    m_referenceMax = m_settings.options.nameListMax;
    accept();
}

void TForm7::defaults()
{
    const Options d;
    const QSignalBlocker b1(m_exitAfter), b2(m_displayResult);
    m_exitAfter->setChecked(d.exitAfterOperation);
    m_dontOpen->setChecked(d.dontOpenAfterSave);
    m_displayResult->setChecked(d.displayResult);
    m_autoCopy->setChecked(d.autoCopy);
    m_capEvery->setChecked(d.excludeSmallWords);
    m_confirm->setChecked(d.confirm);
    m_contextMenu->setChecked(d.contextMenu);
    m_endSound->setChecked(d.endSound);
    m_previewMax->setChecked(d.previewMaximized);
    m_checkBoxOption->setChecked(d.checkBox);
    m_previewNumber->setValue(d.previewLimit);
    m_nameListMax->setValue(d.nameListMax);
    m_folderListMax->setValue(d.folderListMax);
}

void TForm7::done(int result)
{
    if (m_okFlag) {
        m_okFlag = false;
    } else {
        // The edits are thrown away: the stored values come back.
        m_settings.loadOptions();
        Q_EMIT checkBoxOptionChanged(m_settings.options.checkBox, false);
        toControls();
    }
    QDialog::done(result);
}

void TForm7::requestHelp()
{
    // In the program the list window's help decides the topic; alone, the
    // dialog has its own.
    if (isSignalConnected(QMetaMethod::fromSignal(&TForm7::helpRequested)))
        Q_EMIT helpRequested();
    else
        m_platform.help.showTopic("Options.htm");
}

void TForm7::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        requestHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace renomiq
