#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <chrono>

class QAction;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QTreeView;
class MovingText;
class SearchResults;
class MainView;

// searchfont: searches a folder tree for font files and hands a match to setupfon. Loaded
// once per run; "返回" only hides it, so folder, pattern, results and counts stay. Its texts
// are English when the language flag is "e" and Chinese otherwise.
class searchfont final : public QWidget {
    Q_OBJECT
public:
    explicit searchfont(MainView& main);

    // The count label texts for n results.
    static QString chineseCount(int n);
    static QString englishCount(int n);

    // Chooses a folder in the folder tree, as a click on it does.
    void setFolder(const QString& path);
    // The folder tree's folder.
    QString folder() const;
    // The selected result, empty when none ("the result list's current text").
    QString selectedEntry() const;
    SearchResults* results() const { return results_; }
    // How often the window handles its events during a search and how often new results are
    // shown; zero does both before every folder and every match.
    void setRefreshInterval(std::chrono::milliseconds pump, std::chrono::milliseconds show);

    // Window state: true while a search runs; the pattern of the running search.
    bool searching = false;
    QString searchPattern;

    QLabel* Label1;   // above the folder tree
    QTreeView* Dir1;  // the folder tree, rooted at "/"
    QLineEdit* Text1; // not visible: the folder to search, ending in "/"
    QLabel* Label4;
    QComboBox* Combo1; // the pattern
    QLabel* Label2;
    QListView* List1;      // the results
    QLabel* Label3;        // Chinese count
    QLabel* Label6;        // English count
    QLabel* Label5;        // status
    QPushButton* Command1; // start
    QPushButton* Command2; // stop
    QPushButton* Command3; // back
    MovingText* banner;
    QMenu* op;          // the results' context menu
    QAction* setupthis; // "安装该字体": install the chosen file
    QAction* ljxx;      // "查看完整路径信息": show the chosen file's whole path

public slots:
    void Form_Activate();
    void Dir1_Change();
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // A mouse button pressed on the result list at a screen position.
    void List1_MouseDown(Qt::MouseButton button, const QPoint& globalPosition);
    void ljxx_Click();
    void setupthis_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // One folder of the walk and everything below it.
    void searchFolder(const QString& folder);
    // Lets the window handle its events during a search, showing new results when due.
    void pumpEvents();
    void showNewResults();

    MainView& main_;
    QFileSystemModel* folders_;
    SearchResults* results_;
    std::chrono::milliseconds pumpInterval_{25};
    std::chrono::milliseconds showInterval_{50};
    std::chrono::steady_clock::time_point lastShown_;
    QElapsedTimer scrollUntil_;
    bool walking_ = false; // a walk has not returned yet (it may have been stopped)
    // The window went inactive for a dialog of its own (the completion message): coming
    // back from it is not coming to the window from another one.
    bool leftForOwnDialog_ = false;
};
