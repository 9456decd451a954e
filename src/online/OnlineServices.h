#pragma once

#include "online/BBS.h"
#include "online/DescriptorFetch.h"
#include "online/frmAbout.h"

#include <QObject>
#include <QPointer>

class MainView;
class frminfor;

// The online windows of one main window and the update check that ties them together.
class OnlineServices final : public QObject {
    Q_OBJECT
public:
    explicit OnlineServices(MainView& main);

    // The notice board, created (not loaded, not shown) when first needed.
    frminfor& board();
    BBS* records() const { return records_; }
    frmAbout* about() const { return about_; }

    // Loads the board when it is not loaded, shows it and hides the main window.
    void openBoard();
    // From the board: the records window replaces it on the screen.
    void openRecords();
    // From the records window: unloads it and shows the board again as it was.
    void closeRecords();
    // Loads and shows the About box, hides the main window.
    void openAbout();
    // The About box's "确定": unloads it.
    void closeAbout();

    // The update check. The manual one reports every way it ends; the automatic one speaks
    // only when it succeeded. A check while another is fetching does nothing.
    void check(bool manual);
    bool checking() const { return checking_; }

    // Where the check fetches the descriptor from; the build's address unless the
    // environment names another.
    QString updateAddress;
    DescriptorFetch fetch;

private:
    QString settingsFile(const char* name) const;

    MainView& main_;
    frminfor* board_ = nullptr;
    QPointer<BBS> records_;
    QPointer<frmAbout> about_;
    bool checking_ = false;
};
