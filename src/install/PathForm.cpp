#include "install/PathForm.h"

#include "app/controls/PictureButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PathForm PathForm::build(QWidget* window, const QString& heading, const QString& pathTooltip,
                         const Button& browse, const Button& install, const Button& back) {
    PathForm form;
    form.Label1 = new QLabel(heading, window);
    form.Label1->setObjectName(QStringLiteral("Label1"));
    form.Text1 = new QLineEdit(window);
    form.Text1->setObjectName(QStringLiteral("Text1"));
    form.Text1->setToolTip(pathTooltip);
    form.Text1->setAccessibleName(heading);
    form.Text1->setMinimumWidth(4200 / 15);
    form.Label1->setBuddy(form.Text1);

    auto makeButton = [window](const char* name, const Button& button) {
        auto* made = new PictureButton(button.caption, window);
        made->setObjectName(QLatin1String(name));
        made->setToolTip(button.tooltip);
        return made;
    };
    form.Command1 = makeButton("Command1", browse);
    form.Command2 = makeButton("Command2", install);
    form.Command3 = makeButton("Command3", back);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(form.Text1, 1);
    pathRow->addWidget(form.Command1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(form.Command2);
    buttons->addWidget(form.Command3);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(form.Label1);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);
    return form;
}
