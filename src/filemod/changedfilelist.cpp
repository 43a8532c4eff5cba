#include "filemod/changedfilelist.h"

#include "common/pathnames.h"

namespace kelvane {

std::string ChangedFileList::path(size_t i) const
{
    return joinPath(directory(i), name(i));
}

void ChangedFileList::startDirectory(std::string dir)
{
    directories_.push_back(std::move(dir));
}

void ChangedFileList::add(std::string name, uint32_t stamp, const FileIdentity& identity)
{
    files_.push_back(File{uint32_t(directories_.size() - 1), stamp, std::move(name), identity});
}

void ChangedFileList::append(ChangedFileList&& other)
{
    if (other.files_.empty())
        return;
    const auto base = uint32_t(directories_.size());
    for (std::string& dir : other.directories_)
        directories_.push_back(std::move(dir));
    files_.reserve(files_.size() + other.files_.size());
    for (File& file : other.files_) {
        file.directory += base;
        files_.push_back(std::move(file));
    }
    other.clear();
}

void ChangedFileList::truncate(size_t n)
{
    if (n >= files_.size())
        return;
    files_.resize(n);
    directories_.resize(files_.empty() ? 0 : files_.back().directory + 1);
}

void ChangedFileList::clear()
{
    directories_.clear();
    files_.clear();
}

} // namespace kelvane
