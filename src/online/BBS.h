#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class MainView;
class OnlineServices;

// BBS: the notice records window ("公告信息"), listing BBS.vlf and clearing it.
class BBS final : public QWidget {
    Q_OBJECT
public:
    BBS(MainView& main, OnlineServices& services);

    // Shows the record file; "清空" is off when there is nothing to clear.
    void Form_Load();

    QPlainTextEdit* Text1;
    QPushButton* Command1; // return to the board
    QPushButton* Command2; // clear

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString recordPath() const;
    void showRecords();

    MainView& main_;
    OnlineServices& services_;
};
