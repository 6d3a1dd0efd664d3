#ifndef TORVEX_APP_QPENSTYLEDELEGATE_H
#define TORVEX_APP_QPENSTYLEDELEGATE_H

#include <QStyledItemDelegate>

// Draws the transfer queue's progress column as a flat bar; the other columns as usual.
class KTDUFile;

class QPenStyleDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int ProgressColumn = 4;

    explicit QPenStyleDelegate(QObject* parent = nullptr);
    ~QPenStyleDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The part of a bar that is filled, in percent: 100 for an empty file.
    static int percentDone(qint64 done, qint64 total);
    static int barPercent(const KTDUFile& record);

private:
    bool pressed = false;
    int lastX = 0;
    int lastY = 0;
};

#endif
