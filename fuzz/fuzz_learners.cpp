// The learners' index and names on any bytes: the list read holds only
// valid, distinct names and numbers within their bounds, and written
// again it reads back the same, with no fault. A name checked twice is the
// same name.
#include "learners/learnerindex.h"
#include "learners/learnername.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LearnerIndex index = ParseLearnerIndex(bytes);
    if (index.learners.size() > LearnerCapacity)
        std::abort();
    std::set<int> numbers;
    std::set<QString> names;
    for (const Learner& learner : index.learners) {
        const NameCheck check = CheckLearnerName(learner.name);
        if (learner.number < 1 || learner.number > LargestLearnerNumber || !check || check.name != learner.name
            || !numbers.insert(learner.number).second || !names.insert(learner.name).second)
            std::abort();
    }
    if (index.last != 0 && !numbers.contains(index.last))
        std::abort();
    const LearnerIndex again = ParseLearnerIndex(LearnerIndexText(index.learners, index.last));
    if (!again.problems.isEmpty() || again.last != index.last || again.learners.size() != index.learners.size())
        std::abort();
    for (std::size_t i = 0; i < again.learners.size(); ++i)
        if (again.learners[i].number != index.learners[i].number || again.learners[i].name != index.learners[i].name)
            std::abort();

    const NameCheck name = CheckLearnerName(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
    if (name && CheckLearnerName(name.name).name != name.name)
        std::abort();
    return 0;
}
