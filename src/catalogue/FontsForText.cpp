#include "catalogue/FontsForText.h"

#include "app/controls/FontListView.h"
#include "catalogue/FontListing.h"
#include "i18n/Language.h"
#include "i18n/LanguageNames.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/FontSystem.h"

#include <QCloseEvent>
#include <QCollator>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

FontsForText::FontsForText(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("FontsForText"));
    buildControls();
}

void FontsForText::buildControls() {
    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    textLabel = makeLabel("textLabel");
    languageLabel = makeLabel("languageLabel");
    matchesLabel = makeLabel("matchesLabel");
    countLabel = makeLabel("countLabel");

    textField = new QLineEdit(this);
    textField->setObjectName(QStringLiteral("textField"));
    textLabel->setBuddy(textField);
    languageBox = new QComboBox(this);
    languageBox->setObjectName(QStringLiteral("languageBox"));
    languageBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    languageBox->setMinimumContentsLength(16);
    languageLabel->setBuddy(languageBox);
    matchesList = new FontListView(this);
    matchesList->setObjectName(QStringLiteral("matchesList"));
    matchesList->setUniformItemSizes(true);
    matchesList->setMinimumSize(2655 / 15, 3600 / 15);
    matchesLabel->setBuddy(matchesList);

    selectButton = new QPushButton(this);
    selectButton->setObjectName(QStringLiteral("selectButton"));
    backButton = new QPushButton(this);
    backButton->setObjectName(QStringLiteral("backButton"));

    auto* fields = new QGridLayout;
    fields->addWidget(textLabel, 0, 0);
    fields->addWidget(textField, 0, 1);
    fields->addWidget(languageLabel, 1, 0);
    fields->addWidget(languageBox, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(countLabel, 1);
    buttons->addWidget(selectButton);
    buttons->addWidget(backButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(matchesLabel);
    layout->addWidget(matchesList, 1);
    layout->addLayout(buttons);
    setTabOrder(textField, languageBox);
    setTabOrder(languageBox, matchesList);
    setTabOrder(matchesList, selectButton);
    setTabOrder(selectButton, backButton);

    // The results follow each keystroke and each choice of language, without a button.
    connect(textField, &QLineEdit::textChanged, this, &FontsForText::findMatches);
    connect(languageBox, &QComboBox::currentIndexChanged, this, &FontsForText::findMatches);
    // Enter in the text field takes the first match, as "选中" does.
    connect(textField, &QLineEdit::returnPressed, this, &FontsForText::selectFamily);
    // A double click or Enter on an entry.
    connect(matchesList, &QAbstractItemView::activated, this, &FontsForText::selectFamily);
    connect(matchesList, &FontListView::currentRowChanged, this,
            [this](int row) { selectButton->setEnabled(row >= 0); });
    connect(selectButton, &QPushButton::clicked, this, &FontsForText::selectFamily);
    connect(backButton, &QPushButton::clicked, this, &FontsForText::goBack);
}

void FontsForText::applyCaptions(bool chinese) {
    const auto pick = [chinese](const char* zh, const char* en) {
        return chinese ? QString::fromUtf8(zh) : QString::fromUtf8(en);
    };
    setWindowTitle(pick("按文字查找字体", "Find Fonts for Text"));
    textLabel->setText(pick("文字：", "Text:"));
    languageLabel->setText(pick("语言：", "Language:"));
    matchesLabel->setText(pick("符合的字体", "Matching Fonts"));
    selectButton->setText(pick("选中", "Select"));
    backButton->setText(pick("返回", "Back"));
    // What a screen reader says of each control, without the label's colon.
    textField->setAccessibleName(pick("文字", "Text"));
    textField->setToolTip(pick("要写的文字：空格和换行不计", "The text to write; blanks and "
                                                             "line breaks do not count"));
    languageBox->setAccessibleName(pick("语言", "Language"));
    matchesList->setAccessibleName(matchesLabel->text());
    selectButton->setToolTip(pick("在字体列表中选中这个字体", "Select this font in the font list"));
    backButton->setToolTip(pick("返回主界面", "Back to the main window"));
}

void FontsForText::fillLanguages(bool chinese) {
    const QString chosen = languageBox->currentData().toString();
    QStringList codes = coverage_->languages();
    // Ordered by their names as the reader reads them: pinyin in Chinese.
    QCollator collator(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(codes.begin(), codes.end(), [&](const QString& a, const QString& b) {
        return collator.compare(lang::languageName(a, chinese), lang::languageName(b, chinese)) < 0;
    });
    QSignalBlocker blocker(languageBox);
    languageBox->clear();
    languageBox->addItem(
        chinese ? QStringLiteral("（任意语言）") : QStringLiteral("(any language)"), QString());
    for (const QString& code : codes)
        languageBox->addItem(lang::languageEntry(code, chinese), code);
    languageBox->setCurrentIndex(std::max(0, languageBox->findData(chosen)));
}

void FontsForText::open() {
    const bool chinese = lang::chineseByC(main_.language());
    FontSystem& fonts = main_.platform().fonts;
    // Read when first needed; the font table keeps it until the list is refreshed.
    const std::shared_ptr<const FontCoverage> coverage = fonts.coverage();
    if (coverage != coverage_ || chinese != chinese_ || families_.isEmpty()) {
        coverage_ = coverage;
        shownNames_.clear();
        families_.clear();
        coverageIndex_.clear();
        const QList<listing::Entry> entries = listing::entries(fonts.familyNames(), chinese);
        shownNames_.reserve(entries.size());
        families_.reserve(entries.size());
        coverageIndex_.reserve(entries.size());
        for (const listing::Entry& entry : entries) {
            shownNames_.append(entry.shown);
            families_.append(entry.family);
            coverageIndex_.push_back(coverage_->familyIndex(entry.family));
        }
    }
    if (chinese != chinese_ || languageBox->count() == 0) {
        chinese_ = chinese;
        applyCaptions(chinese);
        fillLanguages(chinese);
    }
    findMatches();
    show();
    raise();
    activateWindow();
    textField->setFocus();
}

void FontsForText::findMatches() {
    if (!coverage_)
        return;
    const std::vector<char32_t> characters = FontCoverage::charactersOf(textField->text());
    const QString code = languageBox->currentData().toString();
    const int language = code.isEmpty() ? -1 : coverage_->languageIndex(code);
    const std::vector<bool> matches = coverage_->matching(characters, language);
    // A family the coverage does not know has nothing to show for a text or a language.
    const bool anything = characters.empty() && code.isEmpty();

    const QString current = matchesList->currentRow() >= 0
                                ? matchingFamilies_.value(matchesList->currentRow())
                                : QString();
    QStringList shown;
    matchingFamilies_.clear();
    for (qsizetype i = 0; i < families_.size(); ++i) {
        const int at = coverageIndex_[i];
        if (at >= 0 ? bool(matches[at]) : anything) {
            shown.append(shownNames_[i]);
            matchingFamilies_.append(families_[i]);
        }
    }
    matchesList->setEntries(shown);
    // The family chosen before stays chosen while it matches; else the first match is.
    const int row = int(matchingFamilies_.indexOf(current));
    matchesList->setCurrentRow(row >= 0 ? row : (shown.isEmpty() ? -1 : 0));
    selectButton->setEnabled(matchesList->currentRow() >= 0);
    countLabel->setText(lang::matchCountText(chinese_, int(shown.size())));
    matchesList->setAccessibleDescription(countLabel->text());
}

void FontsForText::selectFamily() {
    const int row = matchesList->currentRow();
    if (row < 0 || row >= matchingFamilies_.size())
        return;
    hide();
    main_.showFamilyInList(matchingFamilies_[row]);
}

void FontsForText::goBack() {
    hide();
    main_.showMain();
    main_.activateMain();
}

void FontsForText::closeEvent(QCloseEvent* event) {
    event->ignore();
}
