// Filtering the file dialog's entries by the chosen file kind.
#include "setup/gui/FileKindFilter.h"

#include "setup/core/FileTypes.h"

#include <QFileSystemModel>

FileKindFilter::FileKindFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

void FileKindFilter::SetPatterns(std::vector<std::string> patterns) {
    m_Patterns = std::move(patterns);
    invalidateFilter();
}

bool FileKindFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr || m_Patterns.empty()) {
        return true;
    }
    const QModelIndex index = files->index(sourceRow, 0, sourceParent);
    if (files->isDir(index)) {
        return true;
    }
    const std::string path = files->filePath(index).toStdString();
    for (const std::string& pattern : m_Patterns) {
        if (MatchesPattern(path, pattern)) {
            return true;
        }
    }
    return false;
}
