#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class MainView;

// setupexe: start a font setup program chosen by the user, without waiting for it. Texts in
// the language current when the window loads. "返回" brings the main window back and unloads
// this window.
class setupexe final : public QWidget {
    Q_OBJECT
public:
    explicit setupexe(MainView& main);

    // True once "返回" has unloaded the window; the main window then builds a new one.
    bool unloaded() const { return unloaded_; }

    QLabel* Label1;
    QLineEdit* Text1;      // the command line to start
    QPushButton* Command1; // browse
    QPushButton* Command2; // install
    QPushButton* Command3; // back

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool chinese() const;

    MainView& main_;
    bool unloaded_ = false;
};
