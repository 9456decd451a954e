#pragma once

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class PictureButton;
class MainView;

// frmhtml: writes an HTML page with a sample line in every font of the main list. Chinese
// texts only. Starting values come from config.ini [Html].
class frmhtml final : public QWidget {
    Q_OBJECT
public:
    explicit frmhtml(MainView& main);

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* combosize;
    QPushButton* comcolor;
    QLabel* Label2;
    QCheckBox* Checkc;
    QCheckBox* Checkb;
    QCheckBox* Checki;
    QCheckBox* Checku;
    QLabel* Label4;
    QLineEdit* Texttext;
    QLabel* Label3;
    QLineEdit* texturl;
    QPushButton* Command2;
    QCheckBox* Checksave;
    PictureButton* comok;
    PictureButton* comback;
    // The result buffer: the text the last export wrote.
    QPlainTextEdit* Textresult;

    // The colour on comcolor, 0x00BBGGRR.
    std::int32_t color() const { return color_; }

public slots:
    void Form_Load();
    void Command2_Click();
    void comcolor_Click();
    void comok_Click();
    void comback_Click();

private:
    void setColor(std::int32_t code);
    QString storedPath() const;
    QString outputPath() const;
    bool exportAll();
    void storeSettings();

    MainView& main_;
    std::int32_t color_ = 0;
};
