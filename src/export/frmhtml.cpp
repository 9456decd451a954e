#include "export/frmhtml.h"

#include "app/ColorCode.h"
#include "app/controls/FontListView.h"
#include "app/controls/PictureButton.h"
#include "app/settings/NumberForm.h"
#include "export/HtmlBlocks.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextDocument>

namespace {
const QString html = QStringLiteral("Html");
const QString errorTitle = QStringLiteral("错误");

// Any number between 0 and 8, fractions included; a text that is no number reads as 0.
bool sizeAccepted(const QString& sizeText) {
    const double size = numberform::leading(sizeText);
    return size > 0 && size < 8;
}
} // namespace

frmhtml::frmhtml(MainView& main) : QWidget(main.mainWidget(), Qt::Window), main_(main) {
    setObjectName(QStringLiteral("frmhtml"));
    setWindowTitle(QStringLiteral("输出到html文件"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    Textresult = named(new QPlainTextEdit(this), "Textresult");
    Textresult->setReadOnly(true);
    Textresult->setAccessibleName(QStringLiteral("输出结果"));
    // The buffer of the last export, one line high at the top edge: a glimpse of what was
    // written, scrollable from the keyboard.
    Textresult->setLineWrapMode(QPlainTextEdit::NoWrap);
    Textresult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Textresult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Textresult->document()->setDocumentMargin(0);
    Textresult->setFixedHeight(Textresult->fontMetrics().lineSpacing() +
                               2 * Textresult->frameWidth());

    Frame1 = named(new QGroupBox(QStringLiteral("输出设置"), this), "Frame1");
    Label1 = named(new QLabel(QStringLiteral("字体大小："), Frame1), "Label1");
    combosize = named(new QComboBox(Frame1), "combosize");
    combosize->setEditable(true);
    // A typed size is used as typed and never joins the designed list.
    combosize->setInsertPolicy(QComboBox::NoInsert);
    combosize->setCompleter(nullptr);
    combosize->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                         QStringLiteral("7")});
    combosize->setAccessibleName(QStringLiteral("字体大小"));
    Label1->setBuddy(combosize);
    comcolor = named(new QPushButton(QStringLiteral("颜色"), Frame1), "comcolor");
    Label2 = named(new QLabel(QStringLiteral("效果："), Frame1), "Label2");
    Checkc = named(new QCheckBox(QStringLiteral("居中"), Frame1), "Checkc");
    Checkb = named(new QCheckBox(QStringLiteral("加粗"), Frame1), "Checkb");
    Checki = named(new QCheckBox(QStringLiteral("斜体"), Frame1), "Checki");
    Checku = named(new QCheckBox(QStringLiteral("下划线"), Frame1), "Checku");
    Label4 = named(new QLabel(QStringLiteral("文字："), Frame1), "Label4");
    Texttext = named(new QLineEdit(Frame1), "Texttext");
    Texttext->setAccessibleName(QStringLiteral("文字"));
    Label4->setBuddy(Texttext);
    Label3 = named(new QLabel(QStringLiteral("保存路径："), Frame1), "Label3");
    texturl = named(new QLineEdit(Frame1), "texturl");
    texturl->setAccessibleName(QStringLiteral("保存路径"));
    Label3->setBuddy(texturl);
    Command2 = named(new QPushButton(QStringLiteral("浏览"), Frame1), "Command2");
    Checksave = named(new QCheckBox(QStringLiteral("保存输出设置"), Frame1), "Checksave");
    comok = named(new PictureButton(QStringLiteral("输出"), this), "comok");
    comback = named(new PictureButton(QStringLiteral("返回"), this), "comback");
    comok->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    comback->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    comok->setDefault(true);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(combosize, 0, 1);
    grid->addWidget(comcolor, 0, 2);
    grid->addWidget(Label2, 1, 0);
    auto* effects = new QHBoxLayout;
    for (QCheckBox* box : {Checkc, Checkb, Checki, Checku})
        effects->addWidget(box);
    grid->addLayout(effects, 1, 1, 1, 2);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(Texttext, 2, 1, 1, 2);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(texturl, 3, 1);
    grid->addWidget(Command2, 3, 2);
    grid->addWidget(Checksave, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(comok);
    buttons->addWidget(comback);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Textresult);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(Command2, &QPushButton::clicked, this, &frmhtml::Command2_Click);
    connect(comcolor, &QPushButton::clicked, this, &frmhtml::comcolor_Click);
    connect(comok, &QPushButton::clicked, this, &frmhtml::comok_Click);
    connect(comback, &QPushButton::clicked, this, &frmhtml::comback_Click);
    Form_Load();
}

void frmhtml::Form_Load() {
    auto number = [this](const char* key) {
        return numberform::leading(main_.configValue(html, QLatin1String(key)));
    };
    Checksave->setChecked(number("save") == 1);
    combosize->setEditText(main_.configValue(html, QStringLiteral("size")));
    setColor(numberform::int32(main_.configValue(html, QStringLiteral("color"))));
    texturl->setText(storedPath());
    Texttext->setText(main_.configValue(html, QStringLiteral("text")));
    Checkc->setChecked(number("effect0") == 1);
    Checkb->setChecked(number("effect1") == 1);
    Checki->setChecked(number("effect2") == 1);
    Checku->setChecked(number("effect3") == 1);
}

QString frmhtml::storedPath() const {
    return main_.configValue(html, QStringLiteral("url")) +
           main_.configValue(html, QStringLiteral("filename"));
}

QString frmhtml::outputPath() const {
    // A bare file name (the installed settings carry no folder) lands in the user's home, not
    // in whatever folder the program happened to be started from.
    const QString typed = texturl->text();
    return QDir::isAbsolutePath(typed) ? typed : QDir::home().filePath(typed);
}

void frmhtml::setColor(std::int32_t code) {
    color_ = code;
    // The caption stays readable on any colour.
    const QColor shown = colorcode::toColor(code);
    const QString text =
        shown.lightnessF() < 0.5 ? QStringLiteral("white") : QStringLiteral("black");
    comcolor->setStyleSheet(
        QStringLiteral("background-color: %1; color: %2;").arg(colorcode::toHtml(code), text));
    comcolor->setAccessibleDescription(colorcode::toHtml(code));
}

void frmhtml::Command2_Click() {
    const QString folder = main_.configValue(html, QStringLiteral("url"));
    const QString name = main_.configValue(html, QStringLiteral("filename"));
    // No stored folder: the dialog starts in the user's home, never the current directory.
    const QString start = QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name);
    const auto chosen = main_.platform().dialogs.saveFile(
        this, QStringLiteral("输出到html文件"),
        {QStringLiteral("网页文件 (*.html)"), QStringLiteral("All Files (*)")}, start);
    // A cancelled dialog restores the stored folder and name, as the window always has.
    texturl->setText(chosen ? *chosen : folder + name);
}

void frmhtml::comcolor_Click() {
    const auto chosen = main_.platform().dialogs.color(this, colorcode::toColor(color_));
    if (chosen) // a cancelled dialog keeps the colour
        setColor(colorcode::fromColor(*chosen));
}

void frmhtml::comok_Click() {
    const bool sizeOk = sizeAccepted(combosize->currentText());
    if (!sizeOk || Texttext->text().isEmpty() || texturl->text().isEmpty()) {
        Dialogs& dialogs = main_.platform().dialogs;
        // Three independent checks; the focus ends on the last field that failed.
        if (!sizeOk) {
            dialogs.message(this, QStringLiteral("输入的字体大小不符合要求（1-7）。"), errorTitle,
                            Dialogs::Icon::Information);
            combosize->setFocus();
        }
        if (Texttext->text().isEmpty()) {
            dialogs.message(this, QStringLiteral("输入的显示文字不符合要求。"), errorTitle,
                            Dialogs::Icon::Information);
            Texttext->setFocus();
        }
        if (texturl->text().isEmpty()) {
            dialogs.message(this, QStringLiteral("输入的保存路径不符合要求。"), errorTitle,
                            Dialogs::Icon::Information);
            texturl->setFocus();
        }
        return;
    }
    main_.hideMain();
    main_.platform().dialogs.message(this, QStringLiteral("输出开始，请不要进行其他操作。"),
                                     QStringLiteral("注意"), Dialogs::Icon::None);
    if (exportAll()) {
        storeSettings();
        main_.platform().dialogs.message(this, QStringLiteral("输出完成！"), QStringLiteral("提示"),
                                         Dialogs::Icon::None);
    }
    main_.showMain();
    activateWindow();
}

bool frmhtml::exportAll() {
    FontListView* list = main_.fontList();
    Dialogs& dialogs = main_.platform().dialogs;
    if (list->count() == 0) {
        dialogs.message(this, QStringLiteral("字体列表是空的，没有可以输出的字体。"), errorTitle,
                        Dialogs::Icon::Information);
        return false;
    }
    // Every export starts afresh, with the tags of the boxes ticked now.
    const htmlexport::Tags tags = htmlexport::Tags::fromBoxes(
        Checkc->isChecked(), Checkb->isChecked(), Checki->isChecked(), Checku->isChecked());
    const QString sample = Texttext->text();
    const QString size = QString::number(numberform::leading(combosize->currentText()));
    const QString colorHex = colorcode::toHtml(color_);
    QString buffer;
    buffer.reserve(list->count() * (128 + sample.size()));

    // Each step runs the list's own selection handling, as a click would; nothing is painted
    // meanwhile, so no face is resolved until the walk ends on the last entry.
    main_.mainWidget()->setUpdatesEnabled(false);
    list->setCurrentRow(0);
    for (int row = 0; row < list->count(); ++row) {
        buffer += htmlexport::entryBlock(main_.selectedFontName(), sample, tags, size, colorHex,
                                         main_.selectedFont());
        if (row + 1 < list->count())
            list->setCurrentRow(row + 1);
    }
    main_.mainWidget()->setUpdatesEnabled(true);

    const QString path = outputPath();
    QSaveFile file(path);
    // A writable file in a folder that is not writable is still replaced in place.
    file.setDirectWriteFallback(true);
    QString error;
    bool written = file.open(QIODevice::WriteOnly) && htmlexport::writePage(file, buffer, &error) &&
                   file.commit();
    if (!written) {
        if (error.isEmpty())
            error = file.errorString();
        dialogs.message(
            this, QStringLiteral("无法创建输出文件：\n") + path + QStringLiteral("\n") + error,
            errorTitle, Dialogs::Icon::Information);
        return false;
    }
    Textresult->setPlainText(buffer);
    Textresult->verticalScrollBar()->setValue(1); // the first block, past the leading line end
    return true;
}

void frmhtml::storeSettings() {
    if (!Checksave->isChecked()) {
        main_.writeConfig(html, QStringLiteral("save"), QStringLiteral("0"));
        return;
    }
    const QFileInfo target(outputPath());
    QString folder = target.absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const auto flag = [](QCheckBox* box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    main_.writeConfig(html, QStringLiteral("save"), QStringLiteral("1"));
    main_.writeConfig(html, QStringLiteral("size"), combosize->currentText());
    main_.writeConfig(html, QStringLiteral("color"), numberform::text(color_));
    main_.writeConfig(html, QStringLiteral("url"), folder);
    main_.writeConfig(html, QStringLiteral("filename"), target.fileName());
    main_.writeConfig(html, QStringLiteral("text"), Texttext->text());
    main_.writeConfig(html, QStringLiteral("effect0"), flag(Checkc));
    main_.writeConfig(html, QStringLiteral("effect1"), flag(Checkb));
    main_.writeConfig(html, QStringLiteral("effect2"), flag(Checki));
    main_.writeConfig(html, QStringLiteral("effect3"), flag(Checku));
}

void frmhtml::comback_Click() {
    close();
}
