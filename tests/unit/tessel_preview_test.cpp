// The Tessel preview's hold on the stored rotation, on the fake clock:
// the show is watched through the ports (its process's windows, its end), and OK, a second
// preview and the dialog's end come "during" the wait through the clock's sleeps.
#include "settings/tessel_preview.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "config/config_store.h"
#include "config/names.h"
#include "platform/memory/memory_platform.h"
#include "settings/options.h"
#include "settings/title_actions.h"

namespace qv::settings {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;
namespace value = config::value;

constexpr char kTessels[] = "C:\\Tessels";
const PreviewValues kUsers{"Alps,Meadow", "Meadow", "1"};
const PreviewValues kHarbour{"\"Harbour Lights\"", "Harbour Lights", "0"};

void Prepare(MemoryPlatform& mem) {
    mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, value::TesselsDir, kTessels);
    mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, value::InstallLocation,
                           "C:\\Program Files\\Q\\Quorvanes.scr");
    mem.files.AddFile("C:\\Program Files\\Q\\Quorvanes.scr", "C:\\PROGRA~1\\Q\\QUORVA~1.SCR");
    for (const char* title : {"\\Alps.tsl", "\\Harbour Lights.tsl", "\\Meadow.tsl"}) {
        mem.files.AddFile(std::string(kTessels) + title);
    }
}

class TesselPreview : public ::testing::Test {
  protected:
    void SetUp() override {
        Prepare(mem);
        SetUser(value::Tessel, kUsers.tessel);
        SetUser(value::CurrentTessel, kUsers.current);
        SetUser(value::RotationEnabled, kUsers.rotation);
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, name, text);
    }
    std::string User(std::string_view name) {
        return config::ConfigStore(mem.registry, nullptr).ReadUserValue(name);
    }
    PreviewValues Stored() {
        return {User(value::Tessel), User(value::CurrentTessel), User(value::RotationEnabled)};
    }
    // The window's Preview of a Tessel, its thread run at once (it waits on the fake clock).
    bool Preview(const Target& target) {
        return StartDelayedLaunch(target, Command::Preview, guard,
                                  [&](const LaunchBody& body) { body(mem.platform()); });
    }
    // Calls `act` once, at the first sleep that ends at or after `at` on the fake clock.
    void At(std::int64_t at, std::function<void()> act) {
        mem.clock.onSleep = [this, at, act = std::move(act), done = false](std::int64_t) mutable {
            if (!done && mem.clock.now >= at) {
                done = true;
                act();
            }
        };
    }
    // The show's process puts a window on the screen.
    void ShowWindowUp(std::size_t process = 0) {
        mem.desktop.windows.push_back(
            {77, "Quorvanes", mem.processes.started.at(process).id, true});
    }

    MemoryPlatform mem;
    std::shared_ptr<TesselPreviewGuard> guard = std::make_shared<TesselPreviewGuard>();
    const Target harbour{TitleKind::Tessel, "Harbour Lights", "Harbour Lights"};
    const Target alps{TitleKind::Tessel, "Alps", "Alps"};
};

TEST_F(TesselPreview, TheShowStartsWithTheTesselAloneAndTheUsersValuesComeBack) {
    PreviewValues duringTheLaunch;
    mem.processes.refuse = [&](const platform::ProcessLaunch&) {
        duringTheLaunch = Stored();
        return false;
    };
    At(1300, [&] { ShowWindowUp(); });
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(duringTheLaunch, kHarbour) << "the one Tessel, current, no rotation";
    ASSERT_EQ(mem.processes.started.size(), 1u);
    EXPECT_EQ(mem.processes.started[0].launch.commandLine, "C:\\PROGRA~1\\Q\\QUORVA~1.SCR zz");
    EXPECT_FALSE(mem.processes.started[0].waited) << "the dialog does not wait for the show";
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_EQ(mem.clock.now, 1300) << "a second's wait, then back as soon as the show is up";
    EXPECT_FALSE(guard->Busy());
}

// A show that starts slowly (over two seconds under load) still reads the preview's values:
// they stay until its window is up, however long that takes within the bound.
TEST_F(TesselPreview, ASlowShowStillReadsThePreviewsValues) {
    PreviewValues readByTheShow;
    At(1000 + 4000, [&] {
        readByTheShow = Stored();  // the show reads as it starts, then shows its window
        ShowWindowUp();
    });
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(readByTheShow, kHarbour);
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_EQ(mem.clock.now, 5000);
}

TEST_F(TesselPreview, OnlyAVisibleWindowOfTheShowsOwnProcessCounts) {
    mem.desktop.windows.push_back({5, "Quorvanes", 999, true});  // an earlier show, still up
    PreviewValues at3s;
    mem.clock.onSleep = [&](std::int64_t) {
        if (mem.clock.now == 1100) {
            mem.desktop.windows.push_back({6, "Quorvanes", mem.processes.started.at(0).id, false});
        }
        if (mem.clock.now == 3000) {
            at3s = Stored();
        }
        if (mem.clock.now == 4000) {
            ShowWindowUp();
        }
    };
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(at3s, kHarbour) << "neither another process's window nor a hidden one";
    EXPECT_EQ(mem.clock.now, 4000);
    EXPECT_EQ(Stored(), kUsers);
}

TEST_F(TesselPreview, AShowThatEndsWithoutAWindowHasReadThemToo) {
    At(1200, [&] { mem.processes.started.at(0).ended = true; });  // e.g. no such Tessel
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(mem.clock.now, 1200);
    EXPECT_EQ(Stored(), kUsers);
}

TEST_F(TesselPreview, AShowThatNeverComesUpGivesThemBackAtTheBound) {
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(mem.clock.now, 1000 + kPreviewReadBoundMs);
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_FALSE(guard->Busy());
}

// The fault as found: a second Preview within the first one's time remembered the first's
// values as the user's, and the user's list ended up as one title.
TEST_F(TesselPreview, ASecondPreviewWhileOneRunsIsRefusedAndTheRotationSurvives) {
    bool secondStarted = true;
    At(2000, [&] { secondStarted = Preview(alps); });
    ASSERT_TRUE(Preview(harbour));
    EXPECT_FALSE(secondStarted) << "one preview at a time";
    EXPECT_EQ(mem.processes.started.size(), 1u);
    EXPECT_EQ(Stored(), kUsers);

    mem.clock.onSleep = nullptr;
    At(mem.clock.now + 1500, [&] { ShowWindowUp(1); });
    EXPECT_TRUE(Preview(alps)) << "the next one, once the first is over";
    EXPECT_EQ(Stored(), kUsers);
}

TEST_F(TesselPreview, TheClaimEndsWithTheLaunchAlsoWhenItNeverRuns) {
    std::vector<LaunchBody> threads;
    const auto keep = [&](LaunchBody body) { threads.push_back(std::move(body)); };
    ASSERT_TRUE(StartDelayedLaunch(harbour, Command::Preview, guard, keep));
    EXPECT_TRUE(guard->Busy());
    EXPECT_FALSE(StartDelayedLaunch(alps, Command::Preview, guard, keep));
    threads.clear();  // its thread could not be started
    EXPECT_FALSE(guard->Busy());
    EXPECT_TRUE(StartDelayedLaunch(alps, Command::Preview, guard, keep));
    EXPECT_EQ(Stored(), kUsers) << "nothing ran";
}

// OK's choice here is the preview's value exactly (only Harbour Lights checked): the old
// restore, which looked only at what the values held, took it for the preview's and wrote
// the old rotation over it.
TEST_F(TesselPreview, AnOkWhileThePreviewIsOutIsNeverWrittenOver) {
    OptionsStart start = FormCreate(mem.platform());
    OptionsChoice choice;
    choice.tessels = start.tessels;
    for (CheckRow& row : choice.tessels.rows) {
        row.checked = row.text == "Harbour Lights";
    }
    choice.savers = start.savers;
    choice.preshows = start.preshows;
    choice.waitText = "5";
    At(1500, [&] {
        EXPECT_EQ(Stored(), kHarbour);
        EXPECT_EQ(ApplySettings(mem.platform(), start, choice, guard.get()), OkOutcome::Applied);
    });
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(Stored(), kHarbour) << "OK's own choice stays";
    EXPECT_LT(mem.clock.now, 1000 + kPreviewReadBoundMs) << "the thread stopped at the OK";
    EXPECT_FALSE(guard->Busy());
}

TEST_F(TesselPreview, AnOkBeforeTheLaunchCallsThePreviewOff) {
    At(0, [&] { guard->Settle(mem.registry); });  // during the second's wait
    ASSERT_TRUE(Preview(harbour));
    EXPECT_TRUE(mem.processes.started.empty()) << "nothing started after the OK";
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_EQ(mem.clock.now, 1000);
}

TEST_F(TesselPreview, ADeleteSettlesThePreviewBeforeItStoresTheList) {
    const OptionsStart start = FormCreate(mem.platform());
    Lists lists{start.savers, start.tessels, start.preshows};
    for (CheckRow& row : lists.tessels.rows) {
        row.checked = row.text == "Harbour Lights";  // the preview's value, as it happens
    }
    At(1500, [&] {
        mem.dialogs.answers = {platform::Answer::Yes};
        ASSERT_TRUE(DeleteTitle(mem.platform(), start,
                                TitleTarget(TitleKind::Tessel, lists.tessels, 0), lists,
                                guard.get()));  // Alps
    });
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(User(value::Tessel), "\"Harbour Lights\"") << "the delete stored the list";
    EXPECT_FALSE(mem.files.FileExists("C:\\Tessels\\Alps.tsl"));
}

TEST_F(TesselPreview, TheDialogsEndPutsBackWhatIsStillOut) {
    auto owner = std::make_unique<TesselPreviewOwner>(mem.registry);
    guard = owner->guard();
    At(2000, [&] { owner.reset(); });  // the dialog goes before the show is up
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_EQ(mem.clock.now, 2000) << "the thread stopped there";
}

TEST_F(TesselPreview, AFailedStartIsToldAndPutsTheValuesBackAtOnce) {
    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    ASSERT_TRUE(Preview(harbour));
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"Unable to start screen saver process."}));
    EXPECT_EQ(Stored(), kUsers);
    EXPECT_EQ(mem.clock.now, 1000);
    EXPECT_FALSE(guard->Busy());
}

TEST_F(TesselPreview, AFailedWriteIsToldAndWhatWasWrittenComesBack) {
    mem.registry.failingValueNames.insert(std::string(value::Tessel));
    ASSERT_TRUE(Preview(harbour));
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_NE(mem.dialogs.shown[0].text.find("Tessel"), std::string::npos)
        << mem.dialogs.shown[0].text;
    EXPECT_TRUE(mem.processes.started.empty());
    EXPECT_EQ(Stored(), kUsers) << "CurrentTessel, written first, is back";
    EXPECT_FALSE(guard->Busy());
}

// ---- on real threads, for ThreadSanitizer: the window's OK against the preview's thread ----

// One registry for both threads, as the system's is.
class LockedRegistry final : public platform::Registry {
  public:
    explicit LockedRegistry(platform::Registry& inner) : inner_(inner) {}
    std::optional<platform::RegValue> Query(RegRoot root, std::string_view key,
                                            std::string_view name) override {
        const std::lock_guard lock(mutex_);
        return inner_.Query(root, key, name);
    }
    platform::RegWrite Set(RegRoot root, std::string_view key, std::string_view name,
                           const platform::RegValue& value) override {
        const std::lock_guard lock(mutex_);
        return inner_.Set(root, key, name, value);
    }
    bool CreateKey(RegRoot root, std::string_view key) override {
        const std::lock_guard lock(mutex_);
        return inner_.CreateKey(root, key);
    }

  private:
    platform::Registry& inner_;
    std::mutex mutex_;
};

// Time that passes quickly: each sleep is a millisecond.
class QuickClock final : public platform::Clock {
  public:
    std::int64_t NowMs() override { return now_.load(); }
    void SleepMs(std::int64_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        now_ += ms;
    }

  private:
    std::atomic<std::int64_t> now_{0};
};

TEST(TesselPreviewThreads, AnOkOnTheWindowsThreadIsNeverWrittenOverByThePreviewsThread) {
    for (int round = 0; round < 20; ++round) {
        MemoryPlatform window;  // the window's adapters
        MemoryPlatform worker;  // the launch thread's own (the window makes them per launch)
        Prepare(window);
        Prepare(worker);
        LockedRegistry registry(window.registry);
        QuickClock clock;
        const platform::Platform windowSide{
            registry,      window.profile, window.files,     window.processes, window.desktop,
            window.system, window.dialogs, window.libraries, window.clock,     window.text};
        const platform::Platform workerSide{registry,         worker.profile,   worker.files,
                                            worker.processes, worker.desktop,   worker.system,
                                            worker.dialogs,   worker.libraries, clock,
                                            worker.text};
        window.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, value::Tessel,
                                  kUsers.tessel);
        const OptionsStart start = FormCreate(windowSide);  // the dialog opens
        const auto guard = std::make_shared<TesselPreviewGuard>();
        std::thread thread;
        ASSERT_TRUE(StartDelayedLaunch(
            {TitleKind::Tessel, "Harbour Lights", "Harbour Lights"}, Command::Preview, guard,
            [&](LaunchBody body) {
                thread = std::thread([&workerSide, body = std::move(body)] { body(workerSide); });
            }));
        // OK at some point of the preview: before its launch, during it, or after it.
        std::this_thread::sleep_for(std::chrono::microseconds(500 * round));
        OptionsChoice choice;
        choice.tessels = start.tessels;
        for (CheckRow& row : choice.tessels.rows) {
            row.checked = row.text == "Harbour Lights";  // the preview's value exactly
        }
        choice.waitText = "5";
        EXPECT_EQ(ApplySettings(windowSide, start, choice, guard.get()), OkOutcome::Applied);
        thread.join();
        const config::ConfigStore store(registry, nullptr);
        EXPECT_EQ(store.ReadUserValue(value::Tessel), "\"Harbour Lights\"") << round;
        EXPECT_EQ(store.ReadUserValue(value::RotationEnabled), "0") << round;
        EXPECT_FALSE(guard->Busy());
    }
}

}  // namespace
}  // namespace qv::settings
