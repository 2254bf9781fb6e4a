#include "morvex/Conversion.h"

#include "Rules.h"
#include "TypeFiles.h"
#include "Walk.h"

#include "morvex/AtomicFile.h"
#include "morvex/ObjectiveCEmitter.h"
#include "morvex/SwiftEmitter.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

namespace morvex {

namespace {

// The walk for the type names alone: which types there are, in model order, without their texts.
struct NamesOnly
{
    struct Builder
    {};
    struct Result
    {
        std::string code;
        ClassInArray classInArray;
    };

    Builder open() const { return {}; }
    void member(Builder&, std::string_view, const JSON&) const {}
    void arrayElementType(Builder&, std::string_view, const std::string&) const {}
    void nested(Builder&, const std::string&) const {}
    void completed(const Result&) const {}
    Result close(Builder&, const std::string&) const { return {}; }
};

// Writes batches of files on a thread of its own while the walk makes the next ones. The queue is bounded, so a
// walk that runs ahead of the disk waits rather than holding the texts.
class FolderWriter
{
public:
    FolderWriter(const AtomicFolder& folder, std::atomic<std::size_t>* written)
        : m_folder(folder), m_written(written), m_thread([this] { run(); })
    {}

    // Left early (memory ran out in the walk): the files in place stay, the queued ones are dropped.
    ~FolderWriter()
    {
        if (m_thread.joinable()) {
            {
                const std::lock_guard lock(m_mutex);
                m_queue.clear();
                m_closed = true;
            }
            m_changed.notify_all();
            m_thread.join();
        }
    }

    void push(std::vector<GeneratedFile> batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.size() < maxQueued || m_failed; });
        if (m_failed)
            std::rethrow_exception(m_failed);
        m_queue.push_back(std::move(batch));
        lock.unlock();
        m_changed.notify_all();
    }

    std::vector<WriteFailure> finish()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
        m_thread.join();
        if (m_failed)
            std::rethrow_exception(m_failed);
        return std::move(m_failures);
    }

private:
    static constexpr std::size_t maxQueued = 8;

    void run()
    {
        try {
            for (;;) {
                std::vector<GeneratedFile> batch;
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
                    if (m_queue.empty())
                        return;
                    batch = std::move(m_queue.front());
                    m_queue.pop_front();
                }
                m_changed.notify_all();
                for (const auto& file : batch) {
                    if (std::error_code failed = m_folder.write(file.name, file.text))
                        m_failures.push_back({file.name, failed.message()});
                    else if (m_written)
                        m_written->fetch_add(1, std::memory_order_relaxed);
                }
            }
        } catch (...) {
            {
                const std::lock_guard lock(m_mutex);
                m_failed = std::current_exception();
            }
            m_changed.notify_all();
        }
    }

    const AtomicFolder& m_folder;
    std::atomic<std::size_t>* m_written;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<GeneratedFile>> m_queue;
    bool m_closed = false;
    std::exception_ptr m_failed;
    std::vector<WriteFailure> m_failures; // the writer thread's own until it is joined
    std::thread m_thread;                 // last: started once everything it uses is in place
};

// Creates `folder` when missing; the reason when that fails or it is not a folder.
std::optional<std::string> createFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (error)
        return error.message();
    return std::nullopt;
}

// Of the types in `models` whose files share a name, the last in model order: only its files are written, so
// the folder ends as if every type were written in order, and no file is written twice. `fileNames` receives
// how many distinct files that makes.
template <typename Models>
std::vector<bool> lastOfEachFileName(const Models& models, const ConversionChoices& choices, std::size_t& fileNames)
{
    // Types of equal file names lie together once sorted by name.
    const detail::FileStems<Models> stems(models, choices.isSwift ? ".swift" : ".h");
    std::vector<std::uint32_t> order(models.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = stems[a].compare(stems[b]);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<bool> isLast(models.size());
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i + 1 == order.size() || stems[order[i]] != stems[order[i + 1]]) {
            isLast[order[i]] = true;
            ++distinct;
        }
    }
    fileNames = distinct * (choices.isSwift ? 1 : 2);
    return isLast;
}

// The output folder, created when missing and cleared of temporary files that killed runs left; null, with the
// reason in `conversion`, when it cannot be.
std::unique_ptr<AtomicFolder> openFolder(const std::filesystem::path& folder, WrittenConversion& conversion)
{
    if (auto problem = createFolder(folder)) {
        conversion.folderProblem = std::move(problem);
        return nullptr;
    }
    std::error_code error;
    std::unique_ptr<AtomicFolder> target = AtomicFolder::open(folder, error);
    if (!target) {
        conversion.folderProblem = error.message();
        return nullptr;
    }
    target->removeStaleTemporaryFiles();
    return target;
}

} // namespace

WrittenConversion convertInto(const JSONDocument& document, const ConversionChoices& choices,
                              const std::vector<std::string>& settingValues, const std::filesystem::path& folder,
                              const MXDate& date, std::atomic<std::size_t>* written)
{
    WrittenConversion conversion;
    const detail::TypeFiles typeFiles(choices, settingValues, date);
    constexpr std::size_t batchFiles = 64;
    if (choices.faithful) {
        // Not streamed as the walk goes: the faithful types merge what the whole sample holds, so none is complete
        // before the end. Their files are still made one type at a time, and each text let go once written.
        Conversion whole = detail::generate(document, choices, settingValues, date, true);
        conversion.typeCount = whole.models.size();
        conversion.findings = std::move(whole.findings);
        const std::vector<bool> isLast = lastOfEachFileName(whole.models, choices, conversion.fileNames);
        const std::unique_ptr<AtomicFolder> target = openFolder(folder, conversion);
        if (!target)
            return conversion;
        FolderWriter writer(*target, written);
        std::vector<GeneratedFile> batch;
        for (std::size_t i = 0; i < whole.models.size(); ++i) {
            if (isLast[i])
                typeFiles.append(whole.models[i], batch, nullptr);
            whole.models[i] = {};
            if (batch.size() >= batchFiles) {
                writer.push(std::move(batch));
                batch = {};
            }
        }
        writer.push(std::move(batch));
        conversion.failures = writer.finish();
        return conversion;
    }

    std::string rootName;

    // First the names alone: a type's files are written only when no later type takes the same names, so the
    // folder ends as if every type were written in order, and no file is written twice. The names and shapes
    // also give the findings, the same as the whole conversion's.
    std::vector<bool> isLast;
    {
        JSONTool tool = detail::makeTool(choices, settingValues, rootName);
        detail::TypeNames names;
        names.add(tool.typeName(rootName), 0);
        tool.onType = [&](CodeModel&& model) { names.add(model.className, model.shape); };
        NamesOnly walker;
        detail::walk(tool, walker, document.root());
        conversion.typeCount = names.size();
        detail::sampleFindings(document, names, choices, false, conversion.findings);
        // The paths of the findings are told: what made deep ones quick to tell is not needed while writing.
        std::vector<SampleTypes::Ancestry>().swap(document.types().ancestry);
        isLast = lastOfEachFileName(names, choices, conversion.fileNames);
    }

    const std::unique_ptr<AtomicFolder> target = openFolder(folder, conversion);
    if (!target)
        return conversion;

    FolderWriter writer(*target, written);
    std::vector<GeneratedFile> batch;
    // Only a Swift class on NSObject asks whether any type has stored properties (see outputFindings).
    const bool askStored = choices.isSwift && choices.isClass && choices.base == "NSObject";
    bool storedProperty = false;
    auto send = [&](const CodeModel& model, std::size_t index) {
        if (askStored && !storedProperty)
            storedProperty = detail::declaresStoredProperty(model);
        if (!isLast[index])
            return;
        typeFiles.append(model, batch, nullptr);
        if (batch.size() >= batchFiles) {
            writer.push(std::move(batch));
            batch = {};
        }
    };
    JSONTool tool = detail::makeTool(choices, settingValues, rootName);
    std::size_t index = 0;
    tool.onType = [&](CodeModel&& model) { send(model, ++index); };
    // The root comes first in model order but is complete last; it is written only when no nested type replaces
    // it, so writing it now leaves the same folder. A top-level array of a million objects gives it a million
    // members: its code file is written as the text is made, in pieces.
    CodeModel root;
    root.className = tool.typeName(rootName);
    std::vector<WriteFailure> rootFailures;
    std::size_t rootFiles = 0;
    auto finished = [&](const std::string& name, std::error_code failed) {
        if (failed)
            rootFailures.push_back({name, failed.message()});
        else
            ++rootFiles;
    };
    std::string codeName;
    std::optional<AtomicFolder::Stream> code;
    if (isLast[0])
        code.emplace(typeFiles.startCode(root.className, *target, codeName));
    auto append = [&](std::string_view text) {
        if (code)
            code->append(text);
    };
    if (choices.isSwift) {
        append(SwiftEmitter::opening(tool, root.className));
        SwiftEmitter(tool).parseBody(document.root(), [&](std::string_view lines) {
            storedProperty = storedProperty || !lines.empty();
            append(lines);
        });
        append(SwiftEmitter::closing);
    } else {
        bool opened = false;
        root.classInArray = ObjectiveCEmitter(tool).parseParts(document.root(), append, [&](std::string_view lines) {
            if (!opened)
                append(ObjectiveCEmitter::interfaceOpening(tool, root.className));
            opened = true;
            append(lines);
        });
        append(ObjectiveCEmitter::interfaceClosing);
    }
    writer.push(std::move(batch));
    if (code) {
        finished(codeName, code->commit());
        if (!choices.isSwift) {
            const GeneratedFile implementation = typeFiles.implementation(root);
            finished(implementation.name, target->write(implementation.name, implementation.text));
        }
    }
    if (written)
        written->fetch_add(rootFiles, std::memory_order_relaxed);
    conversion.failures = writer.finish();
    conversion.failures.insert(conversion.failures.end(), std::make_move_iterator(rootFailures.begin()),
                               std::make_move_iterator(rootFailures.end()));
    detail::outputFindings(conversion.typeCount, storedProperty, tool, root.className, document.types(), choices,
                           conversion.findings);
    return conversion;
}

} // namespace morvex
