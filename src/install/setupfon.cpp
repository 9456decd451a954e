#include "install/setupfon.h"

#include "install/FontArchive.h"
#include "install/FontInstaller.h"
#include "install/PathForm.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

namespace {

QString failureText(FontSystem::Result result, const QString& path) {
    switch (result) {
    case FontSystem::Result::NotFound:
        return QStringLiteral("安装失败，找不到这个文件：\n") + path;
    case FontSystem::Result::NotAFont:
        return QStringLiteral("安装失败，这不是可以使用的字体文件：\n") + path;
    default:
        return QStringLiteral("安装失败，无法把字体链接到字体目录：\n") + path;
    }
}

} // namespace

setupfon::setupfon(MainView& main)
    : QWidget(main.mainWidget(), secondaryWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("setupfon"));
    setWindowTitle(QStringLiteral("从字体文件安装"));

    const PathForm form = PathForm::build(
        this, QStringLiteral("请选择欲安装字体的路径："), QStringLiteral("在此输入字体路径"),
        {QStringLiteral("浏览"), QStringLiteral("浏览文件")},
        {QStringLiteral("安装"), QStringLiteral("将选中的字体文件安装到计算机")},
        {QStringLiteral("返回"), QStringLiteral("返回主界面")});
    Label1 = form.Label1;
    Text1 = form.Text1;
    Command1 = form.Command1;
    Command2 = form.Command2;
    Command3 = form.Command3;

    // Font files, archives and folders may be dropped on the window.
    setAcceptDrops(true);
    connect(Command1, &QPushButton::clicked, this, &setupfon::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &setupfon::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &setupfon::Command3_Click);
}

void setupfon::Command1_Click() {
    // The first filters' descriptions are the patterns themselves: TrueType files, bitmap font
    // files, TrueType collections, then OpenType files and collections; then every font file
    // Linux uses, and the archives fonts are downloaded in.
    const auto chosen = main_.platform().dialogs.openFile(
        this, QStringLiteral("请选择要安装的字体文件"),
        {QStringLiteral("*.ttf (*.ttf)"), QStringLiteral("*.fon (*.fon)"),
         QStringLiteral("*.ttc (*.ttc)"), QStringLiteral("*.otf (*.otf)"),
         QStringLiteral("*.otc (*.otc)"),
         QStringLiteral("所有字体文件 (*.ttf *.ttc *.otf *.otc *.pfb *.pcf *.pcf.gz *.woff "
                        "*.woff2 *.fon)"),
         QStringLiteral("字体压缩包 (*.zip *.tar.gz *.tar.xz *.7z)")});
    // A cancelled dialog leaves whatever the field holds.
    if (chosen && !chosen->isEmpty())
        Text1->setText(*chosen);
}

void setupfon::Command2_Click() {
    Dialogs& dialogs = main_.platform().dialogs;
    const QString title = QStringLiteral("系统提示");
    const QString path = Text1->text();
    if (path.isEmpty()) {
        dialogs.message(this, QStringLiteral("未输入路径！"), title, Dialogs::Icon::Information);
        Text1->setFocus();
        return;
    }
    if (fontarchive::isArchive(path)) {
        // An archive's fonts land in a folder of their own; one message counts them.
        fontinstall::Outcome outcome;
        fontinstall::install(main_.platform().fonts, path, true, outcome);
        dialogs.message(this, fontinstall::report(outcome, true), title,
                        outcome.installed > 0 ? Dialogs::Icon::Information
                                              : Dialogs::Icon::Warning);
        return;
    }
    // The path goes to the font table exactly as typed, blanks and all.
    const FontSystem::Result result = main_.platform().fonts.installFile(path);
    if (result == FontSystem::Result::Done)
        dialogs.message(this, QStringLiteral("安装完成"), title, Dialogs::Icon::Information);
    else
        dialogs.message(this, failureText(result, path), title, Dialogs::Icon::Warning);
}

void setupfon::Command3_Click() {
    main_.showMain();
    unloaded_ = true;
    hide();
    deleteLater();
}

void setupfon::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void setupfon::dragEnterEvent(QDragEnterEvent* event) {
    if (!fontinstall::localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void setupfon::dropEvent(QDropEvent* event) {
    const QStringList paths = fontinstall::localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    installDropped(paths);
}

void setupfon::installDropped(const QStringList& paths) {
    const fontinstall::Dropped dropped = fontinstall::sortDropped(paths);
    if (!dropped.files.isEmpty()) {
        fontinstall::installWithReport(main_.platform(), this, dropped.files, true,
                                       QStringLiteral("系统提示"));
    }
    // A folder is searched for fonts; the search window takes this one's place.
    if (!dropped.folder.isEmpty()) {
        main_.openSearchAt(dropped.folder);
        unloaded_ = true;
        hide();
        deleteLater();
    }
}
