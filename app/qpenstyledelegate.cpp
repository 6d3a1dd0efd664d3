#include "app/qpenstyledelegate.h"

#include "engine/ktdufile.h"

#include <QPainter>

QPenStyleDelegate::QPenStyleDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QPenStyleDelegate::~QPenStyleDelegate() = default;

int QPenStyleDelegate::percentDone(qint64 done, qint64 total)
{
    if (total <= 0)
        return 100;
    const quint64 percent = quint64(qMax<qint64>(0, done)) * 100 / quint64(total);
    return int(qMin<quint64>(percent, 100));
}

// A file whose size is not known yet (still waiting) or that failed is not shown as done.
int QPenStyleDelegate::barPercent(const KTDUFile& record)
{
    const int state = record.stateCode;
    const bool notDone = state == KTDUFile::Undownload || state == KTDUFile::Unupload
                         || state == KTDUFile::DownloadError || state == KTDUFile::UploadError;
    if (notDone && record.fileSize <= 0)
        return 0;
    return percentDone(record.doneSize, record.fileSize);
}

void QPenStyleDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const auto* record = static_cast<const KTDUFile*>(index.data(Qt::UserRole).value<void*>());
    QStyledItemDelegate::paint(painter, option, index);
    if (!record || record->stateCode == KTDUFile::Finish || index.column() != ProgressColumn)
        return;
    const int percent = barPercent(*record);
    const QRect bar = option.rect.adjusted(5, 10, -5, -10);
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setPen(QPen(selected ? Qt::darkGray : Qt::gray, 1, Qt::SolidLine, Qt::SquareCap,
                         Qt::BevelJoin));
    painter->setBrush(selected ? Qt::gray : Qt::lightGray);
    painter->drawRect(bar);
    const QColor fill = selected ? QColor(Qt::green) : QColor(0, 124, 249);
    painter->fillRect(QRect(bar.left(), bar.top(), bar.width() * percent / 100, bar.height()), fill);
    painter->restore();
}

bool QPenStyleDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
