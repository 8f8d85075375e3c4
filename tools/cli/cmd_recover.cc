// recover STORE: the one recovery open a store from Berkeley DB 4.2 needs,
// tried on a copy first so that it never loses committed records silently.

#include <cstdio>
#include <filesystem>

#include <qel2/store_internal.h>

#include "cli_error.h"
#include "commands.h"
#include "sample_store.h"
#include "store_regions.h"
#include "store_session.h"
#include "watched_command.h"

namespace qel2::cli {

namespace {

namespace fs = std::filesystem;

// Everything recovery reads: the database files, caldb.conf and the log.
// Region files are left behind, since recovery makes new ones.
void CopyForRecovery(const fs::path& store, const fs::path& copy) {
    fs::create_directory(copy);
    for (const fs::directory_entry& entry : fs::directory_iterator(store)) {
        std::string name = entry.path().filename();
        if (name.rfind("__db.", 0) == 0 || name == "DB_CONFIG" || !entry.is_regular_file())
            continue;
        fs::copy_file(entry.path(), copy / name);
    }
}

// "events.db 248 -> 65, todos.db 60 -> 0" for the databases that would
// lose records.
std::string Losses(const RecordCounts& before, const RecordCounts& after) {
    std::string text;
    for (int i = 0; i < qEL2_DATABASE_FILES; ++i)
        if (after.records[i] < before.records[i])
            text += std::string(text.empty() ? "" : ", ") + qel2_asDBFiles[i] + " " +
                    std::to_string(before.records[i]) + " -> " + std::to_string(after.records[i]);
    return text;
}

// Recovery rolls back what its log does not show as committed: with a cut
// or damaged log that includes records the database files already hold.
// So it first runs on a copy, and the store is changed only when the copy
// kept every record that can be read without recovery.
void RecoverChecked(const std::string& directory, bool acceptLoss) {
    CheckStoreDirectory(directory);
    RefuseWhileHeld(directory, "recovery", Holders::Anyone);
    if (fs::exists(fs::path(directory) / "DB_CONFIG"))
        throw CliError(
            directory +
            "/DB_CONFIG would steer the recovery (Berkeley DB obeys it on every open in that "
            "folder, and it can name other files or sizes): move it out of the store first");
    if (acceptLoss) {
        RecoverStore(directory);
        return;
    }
    // Records are counted on sound databases only: a damaged one is named
    // and the store left alone.
    RefuseDamagedStructure(directory);
    RecordCounts before = CountReadableRecords(directory, "before");
    fs::path copy = fs::path(RunFolder()) / "recovered-copy";
    CopyForRecovery(directory, copy);
    try {
        RecoverStore(copy.string());
    } catch (const CliError& error) {
        throw CliError(std::string(error.what()) + " on a copy; " + directory + " was not changed");
    }
    RecordCounts after = CountReadableRecords(copy.string(), "after");
    std::string losses = Losses(before, after);
    if (!losses.empty())
        throw CliError("recovery would lose records (" + losses +
                       "): its log does not show them as committed, "
                       "so recovery would roll them back. " +
                       directory +
                       " was not changed; its files can be read "
                       "as they are. \"qel2caldb recover STORE --accept-loss\" recovers anyway");
    RecoverStore(directory);
}

int Recover(const Arguments& arguments) {
    // With --sample the sample's fresh copy is recovered, which shows what
    // the command does without touching anything of the user's.
    std::unique_ptr<SampleStore> sample;
    std::string directory;
    if (arguments.store) {
        directory = *arguments.store;
    } else {
        sample = std::make_unique<SampleStore>();
        directory = sample->directory();
    }
    RecoverChecked(directory, arguments.has("--accept-loss"));
    // Proof that the store now opens the ordinary way.
    StoreSession opened(directory);
    std::printf(
        "recovered %s: Berkeley DB replayed its log and replaced the region files; "
        "plain opens work from now on\n",
        directory.c_str());
    return 0;
}

}  // namespace

const Command kRecoverCommand = {
    "recover",
    "recover STORE [--accept-loss]",
    "run the one recovery open a store last used by Berkeley DB 4.2 needs",
    "A store last used by a Berkeley DB 4.2 server keeps 4.2 region files\n"
    "(__db.001 ...), which the reading commands refuse. recover opens the store\n"
    "once with DB_RECOVER: Berkeley DB replays its log and replaces those files.\n"
    "Recovery first runs on a temporary copy: when the recovered copy holds fewer\n"
    "records than the files as they are (a cut or damaged log rolls committed\n"
    "records back), the store is left unchanged and the command fails, unless\n"
    "--accept-loss. It refuses while another process has the store open, and a\n"
    "store holding a DB_CONFIG file. Files in the store folder are changed: run it\n"
    "on a copy of the store.\n",
    {},
    {"--accept-loss"},
    1,
    1,
    Recover,
};

}  // namespace qel2::cli
