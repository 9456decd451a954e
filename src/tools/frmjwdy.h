#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class PictureButton;
class PreviewText;
class MainView;
class frmzdy;

// frmjwdy: keyboard to fonts. For the font selected in the main window, each letter key's
// capital and small letter and the ten digit keys drawn in that font, beside the key names in
// the interface face. Left only by "返回"; its menu recolours the glyphs and shows a custom
// text large in frmzdy.
class frmjwdy final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmjwdy(MainView& main);

    // True once "返回" has unloaded the window.
    bool unloaded() const { return unloaded_; }
    // The text colour of the heading Label3: the preview colour, or the chosen colour.
    QColor headingColor() const;
    frmzdy* customDisplay() const;

    QLabel* Label3;             // heading
    QList<QLabel*> Label5;      // row headings "字母", "数字"
    QList<QLabel*> Label1;      // key names "A:" to "Z:"
    QList<PreviewText*> Label2; // capitals in the selected font
    QList<PreviewText*> Label6; // small letters in the selected font
    QList<PreviewText*> Label4; // digit keys "1" to "9" and "10"
    PreviewText* Label7;        // hidden: the custom text handed to frmzdy
    PictureButton* Command1;    // "返回"
    QMenu* xuanMenu;            // xuan: the options menu "选项"
    QAction* xuan;
    QAction* ysxz; // "颜色选择": recolour the glyphs
    QAction* zdy;  // "自定义文字": show a text of the user's own in frmzdy

public slots:
    void Form_Activate();
    void ysxz_Click();
    void zdy_Click();
    void Command1_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Form_Load();
    void fitHeading();
    // Every glyph label in the designed order: Label2, Label4, Label6.
    QList<PreviewText*> glyphLabels() const;

    MainView& main_;
    QPointer<frmzdy> frmzdy_;
    bool unloaded_ = false;
};
