#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class MainView;

// frmclient: the dial-up connection window ("网络连接"). The main window loads it hidden at
// start-up so that its timer keeps the main window's client flag (the computer is on line)
// up to date. The list holds the system's connection profiles.
class frmclient final : public QWidget {
    Q_OBJECT
public:
    explicit frmclient(MainView& main);

    // Fills the list and starts the timer; the window stays hidden.
    void Form_Load();
    bool loaded() const { return loaded_; }

    QLabel* Label1;
    QListWidget* List1;
    QLabel* Label2; // "1" while the selected entry is connected, "0" otherwise
    QPushButton* Command1;
    QPushButton* Command2;
    QTimer Timer1; // 600 ms

public slots:
    void Timer1_Timer();
    void Command1_Click(); // connect the selected entry
    void Command2_Click(); // unload: the timer stops, client keeps its last value

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString selectedName() const;
    // Whether the computer is on line when no entry is selected.
    bool onLine() const;

    MainView& main_;
    bool loaded_ = false;
};
