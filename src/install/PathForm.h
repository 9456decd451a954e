#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The form both install windows share: a heading over a path field with its browse button,
// then the install and back buttons. Each control gets its designed name.
struct PathForm {
    struct Button {
        QString caption;
        QString tooltip;
    };

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1; // browse
    QPushButton* Command2; // install
    QPushButton* Command3; // back

    static PathForm build(QWidget* window, const QString& heading, const QString& pathTooltip,
                          const Button& browse, const Button& install, const Button& back);
};
