// The main window's installation commands: install windows, search, delete, fonts folder and
// font information.
#include "app/frmfont.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"
#include "install/DeleteQuestion.h"
#include "install/FontInformation.h"
#include "install/FontInstaller.h"
#include "install/searchfont.h"
#include "install/setupexe.h"
#include "install/setupfon.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"
#include "platform/Shell.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>

namespace {

using deletequestion::quoted;

// The details below the information message and the delete question: each file of the
// family, then what it can write of the preview text.
QString familyDetails(frmfont& main, const QString& family, bool chinese) {
    FontSystem& fonts = main.platform().fonts;
    QString details = fontinfo::details(chinese, fonts.familyDetails(family));
    const QString coverage =
        fontinfo::coverageDetails(chinese, *fonts.coverage(), family, main.Label2->text());
    if (!coverage.isEmpty())
        details += (details.isEmpty() ? QString() : QStringLiteral("\n\n")) + coverage;
    return details;
}

// delfont, delcfont: move the selected family from the user's fonts folder to the trash, after
// asking.
void deleteSelectedFont(frmfont& main) {
    const QString family = main.selectedFont();
    if (family.isEmpty())
        return;
    Dialogs& dialogs = main.platform().dialogs;
    const QString flag = main.language();
    const bool zh = lang::chineseByC(flag);
    // Every family is named as the list shows it; the family behind the entry is what goes.
    const QString name = quoted(zh, main.selectedFontName());
    FontSystem& fonts = main.platform().fonts;
    // A collection file holds several families and goes whole: the question names them all.
    QStringList others = fonts.familiesRemovedWith(family);
    others.removeAll(family);
    QStringList otherNames;
    for (const QString& other : others)
        otherNames.append(quoted(zh, main.listedName(other)));
    const QString question = deletequestion::text(zh, name, otherNames);
    // The same details as the information message: the files that would go.
    const QString details = familyDetails(main, family, zh);
    if (dialogs.messageWithDetails(&main, question, lang::tipsTitle(flag), details,
                                   Dialogs::Icon::Question,
                                   Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;

    const FontSystem::Result result = fonts.removeFamily(family);
    QString problem;
    switch (result) {
    case FontSystem::Result::Done:
        break;
    case FontSystem::Result::Refused:
        // Nothing was touched; the list stays as it is.
        dialogs.message(&main,
                        zh ? QStringLiteral("字体") + name +
                                 QStringLiteral("是系统字体，它的文件不在您的字体目录") +
                                 fonts.userFontsFolder() + QStringLiteral("中，不能删除。")
                           : QStringLiteral("The font ") + name +
                                 QStringLiteral(" is a system font: its files are not in your "
                                                "fonts folder ") +
                                 fonts.userFontsFolder() +
                                 QStringLiteral(", so it cannot be "
                                                "deleted."),
                        lang::tipsTitle(flag), Dialogs::Icon::Warning);
        return;
    case FontSystem::Result::NotFound:
        problem =
            zh ? QStringLiteral("找不到字体") + name + QStringLiteral("的文件，它可能已被删除。")
               : QStringLiteral("The files of the font ") + name +
                     QStringLiteral(" were not found; it may have been deleted already.");
        break;
    default:
        problem = zh ? QStringLiteral("字体") + name + QStringLiteral("的文件未能全部删除。")
                     : QStringLiteral("Not all files of the font ") + name +
                           QStringLiteral(" could be deleted.");
        break;
    }
    if (!problem.isEmpty())
        dialogs.message(&main, problem, lang::tipsTitle(flag), Dialogs::Icon::Warning);
    // The list shows what the font table holds now.
    main.ref_Click();
}

// infor, ztxx: name and folder of the selected family.
void showFontInformation(frmfont& main) {
    const QString family = main.selectedFont();
    const bool zh = lang::chineseByC(main.language());
    // Linux keeps fonts in many folders: the one that holds the family's file is shown.
    const QString folder =
        fontinfo::folderOf(main.platform().fonts.familyFiles(family), main.fontsFolder());
    main.platform().dialogs.messageWithDetails(
        &main, fontinfo::text(zh, main.selectedFontName(), folder), fontinfo::title(zh),
        familyDetails(main, family, zh), Dialogs::Icon::Information);
}

} // namespace

void frmfont::showInstead(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    hide();
}

void frmfont::fromwenjian_Click() {
    if (!setupfon_ || setupfon_->unloaded())
        setupfon_ = new setupfon(*this);
    showInstead(setupfon_);
}

void frmfont::installFromArguments(const QStringList& paths) {
    if (paths.size() > 1) {
        installDropped(paths);
        return;
    }
    fromwenjian_Click();
    setupfon_->Text1->setText(paths.value(0));
}

void frmfont::fromexe_Click() {
    if (!setupexe_ || setupexe_->unloaded())
        setupexe_ = new setupexe(*this);
    showInstead(setupexe_);
}

void frmfont::searchfonts_Click() {
    // Loaded once; Back only hides it, so it keeps its folder, pattern and results.
    if (!searchfont_)
        searchfont_ = new searchfont(*this);
    showInstead(searchfont_);
    searchfont_->Form_Activate();
}

void frmfont::delfont_Click() {
    deleteSelectedFont(*this);
}

void frmfont::delcfont_Click() {
    deleteSelectedFont(*this);
}

void frmfont::ztml_Click() {
    QString folder = fontsFolder();
    if (folder.isEmpty())
        folder = platform_.fonts.userFontsFolder();
    // A new user has no fonts folder yet; the file browser is shown an empty one.
    QDir().mkpath(folder);
    if (!platform_.shell.openFolder(folder)) {
        const QString flag = language();
        platform_.dialogs.message(this,
                                  lang::pickC(flag, QStringLiteral("无法打开字体目录："),
                                              QStringLiteral("The fonts folder could not be "
                                                             "opened: ")) +
                                      folder,
                                  lang::tipsTitle(flag), Dialogs::Icon::Warning);
    }
}

void frmfont::infor_Click() {
    showFontInformation(*this);
}

void frmfont::ztxx_Click() {
    showFontInformation(*this);
}

void frmfont::openSetupfonWithPath(const QString& path) {
    if (!setupfon_ || setupfon_->unloaded())
        setupfon_ = new setupfon(*this);
    setupfon_->show();
    setupfon_->raise();
    setupfon_->activateWindow();
    setupfon_->Text1->setText(path);
}

void frmfont::openSearchAt(const QString& folder) {
    searchfonts_Click();
    searchfont_->setFolder(folder);
}

void frmfont::dragEnterEvent(QDragEnterEvent* event) {
    if (!fontinstall::localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmfont::dropEvent(QDropEvent* event) {
    const QStringList paths = fontinstall::localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    installDropped(paths);
}

void frmfont::installDropped(const QStringList& paths) {
    const fontinstall::Dropped dropped = fontinstall::sortDropped(paths);
    if (!dropped.files.isEmpty()) {
        const QString flag = language();
        const int installed = fontinstall::installWithReport(
            platform_, this, dropped.files, lang::chineseByC(flag), lang::tipsTitle(flag));
        // The list shows the new fonts at once, and the font selected stays selected.
        if (installed > 0)
            refreshFontList(true);
    }
    if (!dropped.folder.isEmpty())
        openSearchAt(dropped.folder);
}
