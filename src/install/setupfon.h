#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class MainView;

// setupfon: install one font file, chosen by the user, for the running desktop. Chinese texts
// only. The main window stays hidden while it is open; "返回" brings it back and unloads this
// window.
class setupfon final : public QWidget {
    Q_OBJECT
public:
    explicit setupfon(MainView& main);

    // True once "返回" has unloaded the window (it is deleted when control returns to the
    // event loop); the main window then builds a new one.
    bool unloaded() const { return unloaded_; }

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1; // browse
    QPushButton* Command2; // install
    QPushButton* Command3; // back

    // Installs dropped font files and archives with one message at the end; a folder dropped
    // alone opens the search window at it instead.
    void installDropped(const QStringList& paths);

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    MainView& main_;
    bool unloaded_ = false;
};
