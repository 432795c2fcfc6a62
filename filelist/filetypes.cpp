#include "filetypes.h"

namespace norvale::FileTypes {

namespace {
struct Table {
    FileType any;
    FileType folder;
    FileType disk;
};
Table &table()
{
    static Table t;
    return t;
}
} // namespace

void _InitFileTypes()
{
    table() = Table{{kSpecialAny, QStringLiteral("????"), QStringLiteral("????")},
                    {kSpecialFolder, QStringLiteral("fold"), QStringLiteral("MACS")},
                    {kSpecialDisk, QStringLiteral("disk"), QStringLiteral("MACS")}};
}

const FileType &pSpecialAny() { return table().any; }
const FileType &pSpecialFolder() { return table().folder; }
const FileType &pSpecialDisk() { return table().disk; }

QString Type(const QFileInfo &item)
{
    if (item.isDir())
        return item.isRoot() ? kSpecialDisk : kSpecialFolder;
    if (item.isFile())
        return kSpecialAny;
    return {};
}

} // namespace norvale::FileTypes
