// What recovery does with whatever it finds under a hidden name in a folder: only the
// recorder's own leftovers are renamed or removed, through no link, and nothing else is touched.

#include "engine/LeftoverRecordings.h"
#include "EngineTestSupport.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

using namespace enginetest;

namespace {

void writeCaf(const std::filesystem::path &path, std::size_t frames, std::int16_t value, int channels = 1)
{
    SF_INFO info{0, 12000, channels, SF_FORMAT_CAF | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file);
    const std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels), value);
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

std::string contentsOf(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every entry of a folder, with what a link points to or a file holds.
std::map<std::string, std::string> snapshot(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> entries;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (entry.is_symlink())
            entries[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            entries[name] = contentsOf(entry.path());
        else
            entries[name] = "(other)";
    }
    return entries;
}

std::vector<std::string> recoveredIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("Recovered recording "))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(LeftoverRecordings, OnlyTheRecordersOwnLeftoversAreRenamedOrRemovedAndNoLinkIsFollowed)
{
    enum class Outcome { LeftAlone, Recovered, Removed };
    using Plant =
        std::function<void(const std::filesystem::path &folder, const std::filesystem::path &elsewhere)>;
    const char *ours = ".registratore-0badf00d.part";
    struct Case {
        const char *name;
        Plant plant;
        Outcome outcome;
    };
    const std::vector<Case> cases = {
        {"ours, with audio", [&](auto &folder, auto &) { writeCaf(folder / ours, 1200, 6); },
         Outcome::Recovered},
        {"ours, a header and no audio", [&](auto &folder, auto &) { writeCaf(folder / ours, 0, 0); },
         Outcome::Removed},
        {"ours, its recovered name taken by a dangling link",
         [&](auto &folder, auto &elsewhere) {
             writeCaf(folder / ours, 1200, 6);
             const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
             ASSERT_EQ(utimensat(AT_FDCWD, (folder / ours).c_str(), times, 0), 0);
             const QString taken = QStringLiteral("Recovered recording %1.caf")
                                       .arg(QDateTime::fromSecsSinceEpoch(1700000000)
                                                .toString(QStringLiteral("dd-MM-yy HHmmss")));
             std::filesystem::create_symlink(elsewhere / "autostart.desktop", folder / taken.toStdString());
         },
         Outcome::Recovered},
        {"a link to a recording elsewhere",
         [&](auto &folder, auto &elsewhere) {
             writeCaf(elsewhere / "victim.caf", 1200, 6);
             std::filesystem::create_symlink(elsewhere / "victim.caf", folder / ours);
         },
         Outcome::LeftAlone},
        {"a dangling link",
         [&](auto &folder, auto &elsewhere) {
             std::filesystem::create_symlink(elsewhere / "new", folder / ours);
         },
         Outcome::LeftAlone},
        {"a pipe", [&](auto &folder, auto &) { ASSERT_EQ(mkfifo((folder / ours).c_str(), 0600), 0); },
         Outcome::LeftAlone},
        {"a hard link to a recording elsewhere",
         [&](auto &folder, auto &elsewhere) {
             writeCaf(elsewhere / "victim.caf", 1200, 6);
             std::filesystem::create_hard_link(elsewhere / "victim.caf", folder / ours);
         },
         Outcome::LeftAlone},
        {"another user's recording",
         [&](auto &folder, auto &) {
             writeCaf(folder / ours, 1200, 6);
             ASSERT_EQ(chown((folder / ours).c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
         },
         Outcome::LeftAlone},
        {"not a CAF file", [&](auto &folder, auto &) { std::ofstream(folder / ours) << "[Desktop Entry]\n"; },
         Outcome::LeftAlone},
        {"a CAF file the recorder does not write",
         [&](auto &folder, auto &) { writeCaf(folder / ours, 1200, 6, 2); }, Outcome::LeftAlone},
        {"a markup and newline name",
         [&](auto &folder, auto &) { writeCaf(folder / ".<b>x<br>\nA.caf.0badf00d.part", 1200, 6); },
         Outcome::LeftAlone},
        {"an earlier version's name, with a link where it points",
         [&](auto &folder, auto &elsewhere) {
             writeCaf(folder / ".x.desktop.0badf00d.part", 1200, 6);
             std::filesystem::create_symlink(elsewhere / "autostart.desktop", folder / "x.desktop");
         },
         Outcome::LeftAlone},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "another user's recording" && geteuid() != 0)
            continue; // only root gives a file away
        TempDir dir;
        const auto folder = dir.path() / "shared";
        const auto elsewhere = dir.path() / "home";
        std::filesystem::create_directory(folder);
        std::filesystem::create_directory(elsewhere);
        c.plant(folder, elsewhere);
        const auto before = snapshot(folder);
        const auto elsewhereBefore = snapshot(elsewhere);

        const QList<TranslatableText> told =
            LeftoverRecordings::recover(QString::fromStdString(folder.string()));

        EXPECT_EQ(snapshot(elsewhere), elsewhereBefore) << "nothing is written through a link";
        const auto recovered = recoveredIn(folder);
        switch (c.outcome) {
        case Outcome::LeftAlone:
            EXPECT_EQ(snapshot(folder), before);
            EXPECT_TRUE(told.isEmpty());
            break;
        case Outcome::Removed:
            EXPECT_TRUE(snapshot(folder).empty());
            EXPECT_TRUE(told.isEmpty());
            break;
        case Outcome::Recovered: {
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / ours)));
            std::string name;
            for (const std::string &r : recovered) {
                if (std::filesystem::is_regular_file(std::filesystem::symlink_status(folder / r)))
                    name = r;
            }
            ASSERT_FALSE(name.empty());
            EXPECT_TRUE(name.ends_with(".caf"));
            EXPECT_EQ(readSoundFile(QString::fromStdString((folder / name).string())).samples,
                      std::vector<std::int16_t>(1200, 6));
            ASSERT_EQ(told.size(), 1);
            EXPECT_EQ(told[0].english(), QStringLiteral("A recording interrupted earlier was saved as “%1”.")
                                             .arg(QString::fromStdString((folder / name).string())));
            break;
        }
        }
    }
}

TEST(LeftoverRecordings, TheCheckWantsTheRecordersNameAndAnAudioHeader)
{
    TempDir dir;
    writeCaf(dir.path() / "audio", 1200, 6);
    writeCaf(dir.path() / "empty", 0, 0);
    const auto bytes = [&](const char *name) {
        const std::string s = contentsOf(dir.path() / name);
        return std::vector<unsigned char>(s.begin(), s.end());
    };
    const std::vector<unsigned char> audio = bytes("audio");
    const std::vector<unsigned char> cut(audio.begin(), audio.begin() + 12);
    using V = LeftoverRecordings::Verdict;
    const struct {
        const char *name;
        QString fileName;
        std::vector<unsigned char> head;
        V verdict;
    } cases[] = {
        {"audio", QStringLiteral(".registratore-0123abcd.part"), audio, V::HoldsAudio},
        {"no audio", QStringLiteral(".registratore-0123abcd.part"), bytes("empty"), V::Empty},
        {"nothing written", QStringLiteral(".registratore-0123abcd.part"), {}, V::Empty},
        {"a header cut short", QStringLiteral(".registratore-0123abcd.part"), cut, V::NotOurs},
        {"another name", QStringLiteral(".take.caf.0123abcd.part"), audio, V::NotOurs},
        {"upper-case hex", QStringLiteral(".registratore-0123ABCD.part"), audio, V::NotOurs},
        {"a newline after the name", QStringLiteral(".registratore-0123abcd.part\n"), audio, V::NotOurs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LeftoverRecordings::judge(c.fileName, c.head, static_cast<std::int64_t>(c.head.size())),
                  c.verdict);
    }
}
