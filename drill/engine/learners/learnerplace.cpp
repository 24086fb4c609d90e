#include "learners/learnerplace.h"

namespace {

constexpr const char* FolderName = "learners";

} // namespace

std::string LearnerDirectory(const std::string& dataDirectory, int number)
{
    if (number == 1)
        return dataDirectory;
    return LearnersFolder(dataDirectory) + '/' + std::to_string(number) + '/';
}

std::string LearnersFolder(const std::string& dataDirectory)
{
    return dataDirectory + FolderName;
}

std::string LearnerIndexPath(const std::string& dataDirectory)
{
    return LearnersFolder(dataDirectory) + "/index.txt";
}
