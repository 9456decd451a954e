#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class PictureButton;
class MainView;

// "已停用的字体": the families disabled from the font list, each of which can be enabled again.
// It stands in for the main window while it is open; "返回" brings the main window back and
// unloads this one.
class DisabledFontsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit DisabledFontsWindow(MainView& main);

    bool unloaded() const { return unloaded_; }

    QLabel* heading;
    QListWidget* disabledList;
    PictureButton* enableButton;
    PictureButton* backButton;

    // Lists the disabled families afresh.
    void refill();

public slots:
    // "启用": the selected family is listed again, here and in every program started afterwards.
    void enable_Click();
    void back_Click();

signals:
    // The installed fonts as the font table lists them have changed.
    void fontsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainView& main_;
    bool chinese_;
    bool unloaded_ = false;
};
