#pragma once

#include <QWidget>

class PictureButton;
class PreviewText;
class MainView;
class frmjwdy;

// frmzdy: the custom text typed in the keyboard window, large, in the selected font and the
// colour of that window's heading. "返回" leads back to the keyboard window.
class frmzdy final : public QWidget {
    Q_OBJECT
public:
    frmzdy(MainView& main, frmjwdy& keyboard);

    PreviewText* Label1;     // the custom text, 42 points, sized to its text
    PictureButton* Command1; // "返回"

public slots:
    void Command1_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void fitWindow();

    MainView& main_;
    frmjwdy& keyboard_;
};
