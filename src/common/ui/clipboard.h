#pragma once

#include <QString>

namespace kelvane {

// Plain-text clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
};

class SystemClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
    QString text() const override;
};

class MemoryClipboard final : public Clipboard {
public:
    void setText(const QString& text) override { text_ = text; }
    QString text() const override { return text_; }

private:
    QString text_;
};

} // namespace kelvane
