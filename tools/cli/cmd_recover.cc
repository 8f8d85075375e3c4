// recover STORE: the one recovery open a store from Berkeley DB 4.2 needs.

#include <cstdio>

#include "commands.h"
#include "sample_store.h"
#include "store_session.h"

namespace qel2cli {

namespace {

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
    RecoverStore(directory);
    // Proof that the store now opens the ordinary way.
    StoreSession opened(directory);
    std::printf("recovered %s: Berkeley DB replayed its log and replaced the region files; "
                "plain opens work from now on\n",
                directory.c_str());
    return 0;
}

}  // namespace

const Command kRecoverCommand = {
    "recover",
    "recover STORE",
    "run the one recovery open a store last used by Berkeley DB 4.2 needs",
    "A store last used by a Berkeley DB 4.2 server keeps 4.2 region files\n"
    "(__db.001 ...), which the reading commands refuse. recover opens the store\n"
    "once with DB_RECOVER: Berkeley DB replays its log and replaces those files.\n"
    "Records are not changed, but files in the store folder are: run it on a\n"
    "copy of the store.\n",
    {},
    {},
    1,
    1,
    Recover,
};

}  // namespace qel2cli
