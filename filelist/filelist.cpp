#include "filelist.h"

#include "filetypes.h"

#include <QDir>
#include <QSet>

namespace norvale {

QString fileCountHeading(qsizetype rows)
{
    return rows == 1 ? QStringLiteral("1 File") : QStringLiteral("%1 Files").arg(rows);
}

namespace {

class Walker {
public:
    explicit Walker(FileListSink &sink) : m_sink(sink) {}

    void add(const QFileInfo &item)
    {
        const QString type = FileTypes::Type(item);
        if (item.isDir()) {
            walkFolder(item);
        } else if (type != FileTypes::kSpecialFolder && !item.fileName().startsWith(u'.')) {
            m_sink.addRow({item.fileName(), QString(), item.absoluteFilePath()});
        }
        m_sink.updatefilecount();
    }

private:
    void walkFolder(const QFileInfo &folder)
    {
        const QString canonical = folder.canonicalFilePath();
        if (canonical.isEmpty() || m_ancestors.contains(canonical))
            return;
        m_ancestors.insert(canonical);

        QString folderPath = folder.absoluteFilePath();
        if (!folderPath.endsWith(u'/'))
            folderPath += u'/';
        const QDir dir(folderPath);
        const QFileInfoList entries = dir.entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            m_sink.yield();
            if (m_sink.stopped())
                break;
            const QString type = FileTypes::Type(entry);
            if (type.isEmpty())
                continue;
            if (entry.isDir()) {
                walkFolder(entry);
                m_sink.updatefilecount();
            } else if (type != FileTypes::kSpecialFolder && !entry.fileName().startsWith(u'.')) {
                m_sink.addRow({entry.fileName(), entry.fileName(), folderPath});
            }
        }
        m_ancestors.remove(canonical);
    }

    FileListSink &m_sink;
    QSet<QString> m_ancestors;
};

} // namespace

void ReadFolderItem(const QFileInfo &item, FileListSink &sink)
{
    Walker(sink).add(item);
}

} // namespace norvale
