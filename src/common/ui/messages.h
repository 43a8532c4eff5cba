#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace kelvane {

// Modal message boxes. The windows ask through this so that tests can answer.
class Messages {
public:
    enum class Kind { Plain, Information, Warning, Error, Question };
    enum class Answer { Ok, Yes, No, Cancel, YesToAll, NoToAll };

    virtual ~Messages() = default;
    // A box with OK (plain: no icon).
    virtual void show(QWidget* parent, Kind kind, const QString& text) = 0;
    // A question with Yes and No (and Cancel when withCancel).
    virtual Answer ask(QWidget* parent, const QString& text, bool withCancel = false) = 0;
    // A question with Yes, Yes to All, No, No to All and Cancel.
    virtual Answer askAll(QWidget* parent, const QString& text) { return ask(parent, text, true); }
    // A question with Yes and No and a check box captioned choice, which
    // starts as *checked and is left as the user set it.
    virtual Answer askWithChoice(QWidget* parent, const QString& text, const QString& choice, bool* checked)
    {
        (void)choice;
        (void)checked;
        return ask(parent, text);
    }

    void plain(QWidget* parent, const QString& text) { show(parent, Kind::Plain, text); }
    void information(QWidget* parent, const QString& text) { show(parent, Kind::Information, text); }
    void warning(QWidget* parent, const QString& text) { show(parent, Kind::Warning, text); }
    void error(QWidget* parent, const QString& text) { show(parent, Kind::Error, text); }
};

// The real boxes (QMessageBox).
class DialogMessages final : public Messages {
public:
    void show(QWidget* parent, Kind kind, const QString& text) override;
    Answer ask(QWidget* parent, const QString& text, bool withCancel = false) override;
    Answer askAll(QWidget* parent, const QString& text) override;
    Answer askWithChoice(QWidget* parent, const QString& text, const QString& choice, bool* checked) override;
};

// For tests: records every box and answers questions from a queue (Yes when
// the queue is empty).
class ScriptedMessages final : public Messages {
public:
    struct Shown {
        Kind kind;
        QString text;
        QString choice;       // the check box offered with a question, if any
        bool checked = false; // its state when the question was shown
    };
    void show(QWidget* parent, Kind kind, const QString& text) override;
    Answer ask(QWidget* parent, const QString& text, bool withCancel = false) override;
    Answer askAll(QWidget* parent, const QString& text) override;
    Answer askWithChoice(QWidget* parent, const QString& text, const QString& choice, bool* checked) override;

    void queueAnswer(Answer answer) { answers_.append(answer); }
    // The state the next check box is left in (as it was shown when none is queued).
    void queueChoice(bool checked) { choices_.append(checked); }
    // Runs while each question is open, before it is answered.
    void setWhileAsked(std::function<void(const QString&)> hook) { whileAsked_ = std::move(hook); }
    const QList<Shown>& shown() const { return shown_; }
    // Texts of every box and question, in order.
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    QList<Answer> answers_;
    QList<bool> choices_;
    std::function<void(const QString&)> whileAsked_;
    QList<Shown> shown_;
};

} // namespace kelvane
