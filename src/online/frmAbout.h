#pragma once

#include <QWidget>

class QLabel;
class MovingText;
class PictureButton;
class MainView;
class OnlineServices;

// frmAbout: the About box ("关于Vorlan字体管理"). While it is open the main window is hidden;
// "确定" brings the main window back and unloads the box.
class frmAbout final : public QWidget {
    Q_OBJECT
public:
    frmAbout(MainView& main, OnlineServices& services);

    // Sounds the beep.
    void Form_Load();

    QLabel* picIcon;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* pbeta[10]; // pbeta1 … pbeta10: the testers, none in this build
    QLabel* Label3;    // author line
    QLabel* bq;        // rights line
    MovingText* MovingText1;
    PictureButton* Command3;

public slots:
    void Command3_Click();
    void MovingText1_GotFocus();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainView& main_;
    OnlineServices& services_;
};
