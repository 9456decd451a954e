#include "install/searchfont.h"

#include "app/controls/MovingText.h"
#include "i18n/Language.h"
#include "install/FolderSearch.h"
#include "install/SearchResults.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
const QString lineBreak = QStringLiteral("\r\n");
} // namespace

QString searchfont::chineseCount(int n) {
    return QStringLiteral("文件个数： ") + QString::number(n) + QStringLiteral(" 个");
}

QString searchfont::englishCount(int n) {
    return QStringLiteral("Files Count:") + QString::number(n);
}

searchfont::searchfont(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("searchfont"));
    buildControls();
    // Loading: the folder tree starts at the program's own folder, Start is ready.
    setFolder(main_.programFolder());
    Command1->setEnabled(true);
    Command2->setEnabled(false);
    Form_Activate();
}

void searchfont::buildControls() {
    auto makeLabel = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    Label1 = makeLabel("Label1", QStringLiteral("目录"));
    Label4 = makeLabel("Label4", QStringLiteral("选择后缀名:"));
    Label2 = makeLabel("Label2", QStringLiteral("搜索结果："));
    Label3 = makeLabel("Label3", chineseCount(0));
    Label6 = makeLabel("Label6", englishCount(0));
    Label5 = makeLabel("Label5", QStringLiteral("当前状态：准备"));

    // Linux has no drive list: one folder tree from "/", folders only.
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    folders_->setRootPath(QStringLiteral("/"));
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setHeaderHidden(true);
    Dir1->setMinimumSize(3000 / 15, 3600 / 15);
    Dir1->setAccessibleName(QStringLiteral("目录"));
    Label1->setBuddy(Dir1);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    // A typed pattern is used as typed (no completion, no change of case) and never joins
    // the designed list.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Combo1->addItems({QStringLiteral("*.ttf"), QStringLiteral("*.ttc"), QStringLiteral("*.fon"),
                      QStringLiteral("*.otf")});
    Combo1->setCurrentIndex(0);
    Label4->setBuddy(Combo1);

    results_ = new SearchResults(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(results_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setMinimumSize(4500 / 15, 3600 / 15);
    List1->viewport()->installEventFilter(this);
    List1->installEventFilter(this);
    Label2->setBuddy(List1);

    auto makeButton = [this](const char* name) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    Command1 = makeButton("Command1");
    Command2 = makeButton("Command2");
    Command3 = makeButton("Command3");

    banner = new MovingText(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setMsgchar(
        QStringLiteral("搜索字体文件：选好目录和后缀名，按“开始搜索”；在结果上按右键可以安装"));
    banner->setAccessibleName(banner->msgchar());

    op = new QMenu(this);
    op->setObjectName(QStringLiteral("op"));
    setupthis = op->addAction(QStringLiteral("安装该字体"));
    setupthis->setObjectName(QStringLiteral("setupthis"));
    ljxx = op->addAction(QStringLiteral("查看完整路径信息"));
    ljxx->setObjectName(QStringLiteral("ljxx"));

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(Dir1, 1);
    left->addWidget(Label4);
    left->addWidget(Combo1);
    auto* right = new QVBoxLayout;
    right->addWidget(Label2);
    right->addWidget(List1, 1);
    auto* counts = new QHBoxLayout;
    counts->addWidget(Label3);
    counts->addWidget(Label6);
    counts->addStretch(1);
    counts->addWidget(Label5);
    right->addLayout(counts);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    layout->addWidget(banner);

    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &searchfont::Dir1_Change);
    // The tree reads and sorts folders in the background: for a moment after a folder is
    // chosen, keep it in view as rows arrive.
    auto keepChosenInView = [this] {
        if (!scrollUntil_.isValid() || scrollUntil_.hasExpired(1500))
            return;
        QTimer::singleShot(0, this, [this] {
            Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, keepChosenInView);
    connect(folders_, &QFileSystemModel::layoutChanged, this, keepChosenInView);
    connect(Text1, &QLineEdit::textChanged, this, &searchfont::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &searchfont::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &searchfont::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &searchfont::Command3_Click);
    connect(setupthis, &QAction::triggered, this, &searchfont::setupthis_Click);
    connect(ljxx, &QAction::triggered, this, &searchfont::ljxx_Click);
}

void searchfont::setRefreshInterval(std::chrono::milliseconds pump,
                                    std::chrono::milliseconds show) {
    pumpInterval_ = pump;
    showInterval_ = show;
}

void searchfont::setFolder(const QString& path) {
    const QModelIndex index = folders_->index(path);
    if (!index.isValid())
        return;
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index);
    scrollUntil_.start();
    // Choosing the folder that is already current changes nothing in the tree; the path
    // field follows the tree all the same.
    Dir1_Change();
}

QString searchfont::folder() const {
    return folders_->filePath(Dir1->currentIndex());
}

QString searchfont::selectedEntry() const {
    return List1->currentIndex().data().toString();
}

void searchfont::Form_Activate() {
    const bool zh = lang::chineseByE(main_.language());
    auto pick = [zh](const char* chineseText, const char* englishText) {
        return zh ? QString::fromUtf8(chineseText) : QString::fromUtf8(englishText);
    };
    setWindowTitle(pick("搜索字体", "Search Fonts"));
    Label1->setText(pick("目录", "Folder"));
    Label4->setText(pick("选择后缀名:", "Choose Extend Name"));
    Combo1->setToolTip(
        pick("选择需要搜索的字体文件后缀名，暂不支持全部扩展名搜索", "Choose Extend Name"));
    Label2->setText(pick("搜索结果：", "Search Result:"));
    List1->setToolTip(pick("搜索结果", "Search Result"));
    List1->setAccessibleName(Label2->text());
    Label3->setVisible(zh);
    Label6->setVisible(!zh);
    // Coming back to the window during a search must not claim that it is ready.
    if (!searching) {
        Label5->setText(pick("当前状态：准备", "Status:Ready"));
        Label5->setToolTip(Label5->text());
    }
    Command1->setText(pick("开始搜索", "Start"));
    Command1->setToolTip(pick("按照您的设置开始搜索", "Start search as your setting"));
    Command2->setText(pick("停止搜索", "Stop"));
    Command2->setToolTip(pick("停止搜索", "Stop search"));
    Command3->setText(pick("返回", "Back"));
    Command3->setToolTip(pick("返回主界面", "Back"));
    setupthis->setText(pick("安装该字体", "Setup This Font"));
    ljxx->setText(pick("查看完整路径信息", "View Path Information"));
}

void searchfont::Dir1_Change() {
    const QString path = folder();
    if (!path.isEmpty())
        Text1->setText(path + QLatin1Char('/'));
}

void searchfont::Text1_Change() {
    // The root comes out of the tree with its separator doubled; every other folder keeps
    // its path.
    if (Text1->text() == QStringLiteral("//"))
        Text1->setText(QStringLiteral("/"));
}

void searchfont::Command1_Click() {
    // Start pressed after Stop while the stopped walk has not yet returned: that search is
    // still finishing and shows its message next; a second one inside it would only tangle
    // the two.
    if (walking_ && !searching)
        return;
    const QString flag = main_.language();
    Command1->setEnabled(false);
    Command2->setEnabled(true);
    Command3->setEnabled(false);
    if (Label1->text() == QStringLiteral("目录")) {
        Label5->setText(QStringLiteral("当前状态：正在搜索..."));
        Label3->setText(chineseCount(results_->count()));
    } else {
        Label5->setText(QStringLiteral("Status:Searching..."));
        Label6->setText(englishCount(results_->count()));
    }
    if (searching) {
        searching = false;
        return;
    }
    searchPattern = Combo1->currentText();
    setCursor(Qt::WaitCursor);
    searching = true;
    results_->clear();
    walking_ = true;
    try {
        searchFolder(Text1->text());
    } catch (...) {
        // Whatever goes wrong inside the walk ends the walk; the search is finished as usual.
    }
    walking_ = false;
    showNewResults();

    const bool chinese = lang::chineseByC(flag);
    if (chinese)
        Label3->setText(chineseCount(results_->count()));
    else
        Label6->setText(englishCount(results_->count()));
    searching = false;
    unsetCursor();
    if (chinese)
        main_.platform().dialogs.message(
            this, QStringLiteral("搜索已经完成！") + lineBreak + Label3->text(),
            QStringLiteral("完成"), Dialogs::Icon::Information);
    else
        main_.platform().dialogs.message(
            this, QStringLiteral("Searching complete!") + lineBreak + Label6->text(),
            QStringLiteral("Complete"), Dialogs::Icon::Information);
    Command1->setEnabled(true);
    Command2->setEnabled(false);
    Command3->setEnabled(true);
    Label5->setText(chinese ? QStringLiteral("当前状态：完成搜索")
                            : QStringLiteral("Status:Complete"));
}

void searchfont::searchFolder(const QString& folder) {
    FolderSearch search;
    search.pumpInterval = pumpInterval_;
    search.keepGoing = [this] { return searching; };
    search.found = [this](const QString& path) { results_->add(path); };
    search.pump = [this] { pumpEvents(); };
    lastShown_ = std::chrono::steady_clock::now();
    search.run(folder, searchPattern);
}

void searchfont::pumpEvents() {
    if (std::chrono::steady_clock::now() - lastShown_ >= showInterval_)
        showNewResults();
    QCoreApplication::processEvents();
}

void searchfont::showNewResults() {
    lastShown_ = std::chrono::steady_clock::now();
    if (results_->total() == results_->count())
        return;
    // Only the Chinese count follows the search, whatever the language.
    Label3->setText(chineseCount(results_->total()));
    results_->publish();
    List1->scrollToBottom();
}

void searchfont::Command2_Click() {
    searching = false;
    unsetCursor();
    Command1->setEnabled(true);
    Command2->setEnabled(false);
    Command3->setEnabled(true);
    Label5->setText(QStringLiteral("当前状态：停止搜索"));
}

void searchfont::Command3_Click() {
    main_.showMain();
    hide();
}

void searchfont::List1_MouseDown(Qt::MouseButton button, const QPoint& globalPosition) {
    if (button != Qt::RightButton || selectedEntry().isEmpty())
        return;
    op->popup(globalPosition);
}

void searchfont::ljxx_Click() {
    main_.platform().dialogs.message(this,
                                     QStringLiteral("字体路径为：") + lineBreak + selectedEntry(),
                                     QStringLiteral("路径显示"), Dialogs::Icon::Information);
}

void searchfont::setupthis_Click() {
    main_.openSetupfonWithPath(selectedEntry());
    hide();
}

bool searchfont::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            // The right button leaves the selection alone: the menu acts on the entry
            // selected before.
            List1_MouseDown(press->button(), press->globalPosition().toPoint());
            return true;
        }
    }
    if ((watched == List1 || watched == List1->viewport()) &&
        event->type() == QEvent::ContextMenu) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        // The menu key opens the menu beside the selected entry.
        if (request->reason() == QContextMenuEvent::Keyboard) {
            const QRect place = List1->visualRect(List1->currentIndex());
            List1_MouseDown(Qt::RightButton, List1->viewport()->mapToGlobal(place.center()));
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void searchfont::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow()) {
            // Left for a dialog that this window opened, or for another window?
            leftForOwnDialog_ = false;
            for (const QWidget* w = QApplication::activeModalWidget(); w && !leftForOwnDialog_;
                 w = w->parentWidget())
                leftForOwnDialog_ = w == this;
        } else if (leftForOwnDialog_) {
            leftForOwnDialog_ = false;
        } else {
            Form_Activate();
        }
    }
    QWidget::changeEvent(event);
}

void searchfont::closeEvent(QCloseEvent* event) {
    event->ignore();
}
