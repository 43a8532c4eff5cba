#pragma once

#include <QWidget>

class QFrame;
class QLabel;

namespace kelvane {

class Gauge;
struct DiskSpaceTexts;

// The Disk Space page: capacity, free, used and root-reserved space of a
// drive in large type, and a bar whose filled part is the free share, followed
// by the reserved share.
class DiskSpacePage : public QWidget {
    Q_OBJECT
public:
    explicit DiskSpacePage(QWidget* parent = nullptr);

    void showSpace(const DiskSpaceTexts& texts);

    Gauge* freeShareBar() const { return Gauge1; }

private:
    QLabel* lblTotalC;
    QLabel* lblTotal;
    QLabel* Label25;
    QLabel* lblFreeC;
    QLabel* lblFree;
    QLabel* lblPct;
    QFrame* Panel1;
    QLabel* Label26;
    QLabel* lblUsed;
    QLabel* lblPct2;
    QFrame* Panel2;
    QLabel* lblReservedC;
    QLabel* lblReserved;
    QLabel* lblPct3;
    QFrame* Panel4;
    QFrame* Panel3;
    Gauge* Gauge1;
};

} // namespace kelvane
