#include "common/ui/messages.h"

#include <QCheckBox>
#include <QMessageBox>

namespace kelvane {

void DialogMessages::show(QWidget* parent, Kind kind, const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Kelvane '95"));
    box.setText(text);
    switch (kind) {
    case Kind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

Messages::Answer DialogMessages::ask(QWidget* parent, const QString& text, bool withCancel)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Confirm"));
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    box.setStandardButtons(buttons);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Messages::Answer DialogMessages::askAll(QWidget* parent, const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Confirm"));
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
                           QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::YesToAll:
        return Answer::YesToAll;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::NoToAll:
        return Answer::NoToAll;
    default:
        return Answer::Cancel;
    }
}

Messages::Answer DialogMessages::askWithChoice(QWidget* parent, const QString& text, const QString& choice,
                                               bool* checked)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Confirm"));
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    auto* check = new QCheckBox(choice, &box);
    check->setChecked(*checked);
    box.setCheckBox(check);
    const int answer = box.exec();
    *checked = check->isChecked();
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void ScriptedMessages::show(QWidget*, Kind kind, const QString& text)
{
    shown_.append({kind, text, QString(), false});
}

Messages::Answer ScriptedMessages::ask(QWidget*, const QString& text, bool)
{
    shown_.append({Kind::Question, text, QString(), false});
    if (whileAsked_)
        whileAsked_(text);
    return answers_.isEmpty() ? Answer::Yes : answers_.takeFirst();
}

Messages::Answer ScriptedMessages::askAll(QWidget*, const QString& text)
{
    shown_.append({Kind::Question, text, QString(), false});
    if (whileAsked_)
        whileAsked_(text);
    return answers_.isEmpty() ? Answer::Yes : answers_.takeFirst();
}

Messages::Answer ScriptedMessages::askWithChoice(QWidget*, const QString& text, const QString& choice,
                                                 bool* checked)
{
    shown_.append({Kind::Question, text, choice, *checked});
    if (whileAsked_)
        whileAsked_(text);
    if (!choices_.isEmpty())
        *checked = choices_.takeFirst();
    return answers_.isEmpty() ? Answer::Yes : answers_.takeFirst();
}

QStringList ScriptedMessages::texts() const
{
    QStringList texts;
    for (const Shown& s : shown_)
        texts.append(s.text);
    return texts;
}

} // namespace kelvane
