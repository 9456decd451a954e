#pragma once

#include "platform/FontCoverage.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class FontListView;
class MainView;

// "按文字查找字体": the families that can write a text, and a language, found among every
// installed family as the main list names and orders them. Shown in place of the main window;
// "返回" only hides it, so the text and the language stay for the next time. Its texts follow
// the language flag ("c": Chinese).
class FontsForText final : public QWidget {
    Q_OBJECT
public:
    explicit FontsForText(MainView& main);

    // Shows the window in the interface language, with the families installed now.
    void open();
    // The family behind each entry of the list, row by row.
    const QStringList& matchingFamilies() const { return matchingFamilies_; }

    QLabel* textLabel;
    QLineEdit* textField;
    QLabel* languageLabel;
    QComboBox* languageBox; // "（任意语言）" first, then every language by its name and code
    QLabel* matchesLabel;
    FontListView* matchesList;
    QLabel* countLabel;
    QPushButton* selectButton;
    QPushButton* backButton;

public slots:
    // Lists the families that have every character of the text and support the language.
    void findMatches();
    // "选中": back to the main window with the current family selected and previewed.
    void selectFamily();
    // "返回".
    void goBack();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void applyCaptions(bool chinese);
    void fillLanguages(bool chinese);

    MainView& main_;
    std::shared_ptr<const FontCoverage> coverage_;
    bool chinese_ = true;
    // Every family as the main list shows and orders it, with its place in coverage_.
    QStringList shownNames_;
    QStringList families_;
    std::vector<int> coverageIndex_;
    QStringList matchingFamilies_;
};
