#include "saver/picture_show.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "config/names.h"
#include "damaged_tessels.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "saver/names.h"
#include "saver/show_timers.h"
#include "test_jpegs.h"

namespace qv::saver {
namespace {

using platform::RegRoot;
using platform::memory::MemoryDesktop;
using platform::memory::MemoryPlatform;
using testing::JpegOptions;
using testing::MakeJpeg;

constexpr char kFolder[] = "C:\\Tessels";

// The window's thread in a test: workers hand it steps and wait for them, as through the
// window's gate; the test thread runs them while it pumps.
class WindowThread {
  public:
    // As the real gate closes with its window: a step still waiting is refused, so that no
    // worker is left waiting when a test ends early.
    ~WindowThread() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        for (auto& worker : workers_) {
            worker.join();
        }
    }
    void StartWorker(std::function<void()> work) { workers_.emplace_back(std::move(work)); }
    bool Run(const std::function<void()>& step) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return pending_ == nullptr || closed_; });  // one at a time
        if (closed_) {
            return false;
        }
        pending_ = &step;
        ran_ = false;
        changed_.notify_all();
        changed_.wait(lock, [&] { return pending_ == nullptr || closed_; });
        if (pending_ == &step) {
            pending_ = nullptr;  // refused: the gate closed before the step ran
        }
        return ran_;
    }
    // Runs the steps workers hand over until `done` holds; false when it does not hold
    // within `limit` (a feature that is broken fails its test instead of hanging it).
    [[nodiscard]] bool PumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= until) {
                return false;
            }
            changed_.wait_for(lock, std::chrono::milliseconds(10),
                              [&] { return pending_ != nullptr; });
            if (pending_ != nullptr) {
                (*pending_)();
                pending_ = nullptr;
                ran_ = true;
                changed_.notify_all();
            }
        }
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* pending_ = nullptr;
    bool ran_ = false;
    bool closed_ = false;
    std::vector<std::thread> workers_;
};

// The window side of the show, as a record of what it was asked to do.
class RecordingWindow : public ShowWindow {
  public:
    platform::WindowId Id() const override { return 77; }
    Screens CurrentScreens() const override { return screens; }
    void Cover(const ScreenRect& area) override { covers.push_back(area); }
    void ShowPicture(const imaging::Frame& frame) override { widths.push_back(frame.width); }
    void MovePicture(int left, int top, const ScreenRect& shown) override {
        moves.emplace_back(left, top);
        visible = shown;
    }
    void RepaintPicture() override { ++repaints; }
    void SetCursorShape(CursorShape shape) override { cursor = shape; }
    void ShowCursor(bool on) override { cursorCounter += on ? 1 : -1; }
    void SetPictureHint(std::optional<std::string_view> text) override {
        hint = text ? std::optional<std::string>(*text) : std::nullopt;
    }
    void Close() override { ++closes; }
    void StartActivationDelay(int ms) override { activationDelays.push_back(ms); }
    void StartPictureTimer(int seconds) override { pictureTimers.push_back(seconds); }
    void StartCountdown(int seconds) override { countdowns.push_back(seconds); }
    // The decode runs at once, as if the worker were done before the next event.
    void StartDecode(std::shared_ptr<PictureSource> source, std::size_t start) override {
        ++decodes;
        if (holdDecodes) {
            held.emplace_back(std::move(source), start);
            return;
        }
        if (windowThread != nullptr) {
            windowThread->StartWorker([this, source, start] {
                RunDecode(
                    *source, start, [] { return true; },
                    [this](const std::function<void()>& step) { return windowThread->Run(step); },
                    [this](DecodedPicture& decoded) { show->OnPictureDecoded(decoded); });
            });
            return;
        }
        RunDecode(
            *source, start, [] { return true; },
            [](const std::function<void()>& step) {
                step();
                return true;
            },
            [this](DecodedPicture& decoded) { show->OnPictureDecoded(decoded); });
    }

    Screens screens{{0, 0, 1024, 768}, {0, 0, 1024, 768}};
    std::vector<ScreenRect> covers;
    ScreenRect visible;
    PictureShow* show = nullptr;
    bool holdDecodes = false;
    WindowThread* windowThread = nullptr;  // decodes on a worker, as the real window does
    std::vector<std::pair<std::shared_ptr<PictureSource>, std::size_t>> held;
    int decodes = 0;
    std::vector<int> widths;  // the pictures tell themselves apart by width
    std::vector<std::pair<int, int>> moves;
    int repaints = 0;
    CursorShape cursor = CursorShape::Arrow;
    int cursorCounter = 0;
    std::optional<std::string> hint;
    int closes = 0;
    std::vector<int> activationDelays;
    std::vector<int> pictureTimers;
    std::vector<int> countdowns;
};

struct Picture {
    std::string name;
    int width = 0;
    int height = 0;
};

class PictureShowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::TesselsDir,
                               kFolder);
        SetUser(config::value::CurrentTessel, "Harbour");
    }

    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, name, text);
    }
    std::optional<std::string> User(std::string_view name) {
        const auto stored = mem.registry.Query(RegRoot::CurrentUser, config::kKeyPath, name);
        if (!stored) {
            return std::nullopt;
        }
        return std::string(stored->data.c_str());
    }

    void AddTessel(const std::string& title, const std::vector<Picture>& pictures,
                   const std::map<std::uint16_t, std::string>& links = {},
                   const std::string& folder = kFolder) {
        pe::ResourceLibraryLayout layout;
        for (const auto& picture : pictures) {
            auto bytes =
                picture.width > 0
                    ? MakeJpeg(JpegOptions{.width = picture.width, .height = picture.height})
                    : std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
            layout.rcdata.push_back({picture.name, std::move(bytes)});
        }
        layout.strings = links;
        mem.files.AddFileBytes(folder + "\\" + title + ".tsl", pe::WriteResourceLibrary(layout));
    }

    // Three pictures A, B, C of widths 320, 200, 100, and links 2 and 8.
    void AddHarbour() {
        AddTessel("Harbour", {{"AJPEG", 320, 240}, {"BJPEG", 200, 150}, {"CJPEG", 100, 80}},
                  {{2, "http://two.example/"}, {8, "http://eight.example/"}});
    }

    PictureShow& OpenShow() {
        show = std::make_unique<PictureShow>(mem.platform(), state, window);
        window.show = show.get();
        EXPECT_EQ(show->Open(), OpenOutcome::Showing);
        return *show;
    }

    // Activation over: mouse input counts from now on.
    PictureShow& RunningShow() {
        OpenShow();
        show->OnActivate();
        show->OnActivationEnded();
        return *show;
    }

    void RequirePassword(std::vector<std::uint32_t> answers) {
        state.isNT = false;
        mem.system.nt = false;
        const std::string dword("\x01\x00\x00\x00", 4);
        ASSERT_EQ(
            mem.registry.Set(RegRoot::CurrentUser, config::kDesktopKeyPath,
                             config::kScreenSaveUsePassword, {platform::RegType::Dword, dword}),
            platform::RegWriteStatus::Ok);
        mem.libraries.presentLibraries.insert(mem.files.systemDir + "\\password.cpl");
        mem.libraries.presentFunctions.insert("VerifyScreenSavePwd");
        mem.libraries.verifyResults.assign(answers.begin(), answers.end());
    }

    MemoryPlatform mem;
    HostState state{.mode = Mode::ScreenSaver, .isNT = true, .trayRunning = true};
    RecordingWindow window;
    std::unique_ptr<PictureShow> show;
};

TEST_F(PictureShowTest, StoredTimesAreTheDialogsIndexesAndMissingOnesTakeTheDefaults) {
    AddHarbour();
    OpenShow();
    EXPECT_EQ(show->ViewSeconds(), 8);
    EXPECT_EQ(show->MouseDelaySeconds(), 5);

    SetUser(config::value::ViewTime, "15");
    SetUser(config::value::MouseDelay, "0");
    OpenShow();
    EXPECT_EQ(show->ViewSeconds(), 20);
    EXPECT_EQ(show->MouseDelaySeconds(), 3);

    SetUser(config::value::ViewTime, "-40");           // would be a negative sleep
    SetUser(config::value::MouseDelay, "2147483647");  // would overflow
    OpenShow();
    EXPECT_EQ(show->ViewSeconds(), 1);
    EXPECT_EQ(show->MouseDelaySeconds(), 24 * 60 * 60);

    SetUser(config::value::ViewTime, "eight");
    OpenShow();
    EXPECT_EQ(show->ViewSeconds(), 8);
}

TEST_F(PictureShowTest, FirstPictureOnceThenTheRestInTurnPlacedAtTheFirstOnesCorner) {
    AddHarbour();
    OpenShow();
    for (int i = 0; i < 4; ++i) {
        show->LoadNewPict();
    }
    EXPECT_EQ(window.widths, (std::vector<int>{320, 200, 100, 200, 100}));
    EXPECT_EQ(window.moves, (std::vector<std::pair<int, int>>{{(1024 - 320) / 2, (768 - 240) / 2}}))
        << "later pictures keep the first one's top-left corner";
    EXPECT_TRUE(mem.system.screenSaverRunningCalls == std::vector<bool>{true});
    show.reset();
    EXPECT_TRUE((mem.system.screenSaverRunningCalls == std::vector<bool>{true, false}));
}

TEST_F(PictureShowTest, ASinglePictureStaysAndAnUndecodablePictureIsPassedOver) {
    AddTessel("Harbour", {{"ONLYJPEG", 64, 48}});
    OpenShow();
    show->LoadNewPict();
    show->LoadNewPict();
    EXPECT_EQ(window.widths, (std::vector<int>{64, 64, 64}));
    EXPECT_EQ(show->PictureIndex(), 0u);

    AddTessel("Broken", {{"AJPEG", 320, 240}, {"BADJPEG", 0, 0}, {"CJPEG", 100, 80}});
    SetUser(config::value::CurrentTessel, "Broken");
    window.widths.clear();
    OpenShow();
    show->LoadNewPict();
    show->LoadNewPict();
    EXPECT_EQ(window.widths, (std::vector<int>{320, 100, 100}));
}

TEST_F(PictureShowTest, OnlyPicturesNamedJpegCountAndNoneEndsTheShowWithTheMessage) {
    AddTessel("Harbour", {{"LOGO", 32, 24}});
    PictureShow empty(mem.platform(), state, window);
    EXPECT_EQ(empty.Open(), OpenOutcome::NoPictures);
    EXPECT_EQ(mem.dialogs.Texts(), (std::vector<std::string>{std::string(text::NoPictures)}));
    EXPECT_TRUE(window.widths.empty());
    EXPECT_TRUE(mem.system.screenSaverRunningCalls.empty());

    // A file there that is no library at all reads the same way.
    mem.files.AddFile(std::string(kFolder) + "\\Junk.tsl");
    SetUser(config::value::CurrentTessel, "Junk");
    PictureShow junk(mem.platform(), state, window);
    EXPECT_EQ(junk.Open(), OpenOutcome::NoPictures);
}

TEST_F(PictureShowTest, PicturesDecodeAwayFromTheWindowOneAtATime) {
    AddHarbour();
    window.holdDecodes = true;
    OpenShow();
    EXPECT_TRUE(window.widths.empty()) << "the window comes up black, before the first decode";
    show->LoadNewPict();
    ASSERT_EQ(window.decodes, 1) << "no second decode while one runs";

    const auto synchronously = [](const std::function<void()>& step) {
        step();
        return true;
    };
    const auto deliver = [&](DecodedPicture& decoded) { show->OnPictureDecoded(decoded); };
    RunDecode(
        *window.held[0].first, window.held[0].second, [] { return true; }, synchronously, deliver);
    EXPECT_EQ(window.widths, (std::vector<int>{320}));
    EXPECT_EQ(window.moves,
              (std::vector<std::pair<int, int>>{{(1024 - 320) / 2, (768 - 240) / 2}}));

    show->LoadNewPict();
    ASSERT_EQ(window.decodes, 2);
    // The window went while the picture decoded: nothing is handed over.
    RunDecode(
        *window.held[1].first, window.held[1].second, [] { return false; },
        [](const std::function<void()>&) { return false; },
        [](DecodedPicture&) { ADD_FAILURE() << "delivered to a window that is gone"; });
    EXPECT_EQ(window.widths.size(), 1u);
}

TEST_F(PictureShowTest, PicturesDecodedOnAWorkerReachTheShowOnTheWindowThread) {
    AddHarbour();
    WindowThread windowThread;
    window.windowThread = &windowThread;
    OpenShow();
    ASSERT_TRUE(windowThread.PumpUntil([&] { return window.widths.size() == 1; }))
        << "the first picture never reached the show";
    for (int i = 0; i < 3; ++i) {
        show->LoadNewPict();
        ASSERT_TRUE(windowThread.PumpUntil([&] {
            return window.widths.size() == static_cast<std::size_t>(i) + 2;
        })) << "picture "
            << i + 2 << " never reached the show";
    }
    EXPECT_EQ(window.widths, (std::vector<int>{320, 200, 100, 200}));
    EXPECT_EQ(window.decodes, 4);
}

TEST_F(PictureShowTest, DamagedTesselsShowTheirGoodPicturesAndNoneEndsLikeNoPictures) {
    using testing::Damage;
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> pictures{
        {"AJPEG", MakeJpeg({.width = 320, .height = 240})},
        {"BJPEG", MakeJpeg({.width = 200, .height = 150})},
        {"CJPEG", MakeJpeg({.width = 100, .height = 80})}};
    const std::vector<std::string> links{"http://one.example/", "http://two.example/"};
    const struct {
        Damage damage;
        std::vector<int> widths;
    } cases[] = {{Damage::DataLongerThanTheFile, {200, 100, 200}},
                 {Damage::DataPastTheEnd, {200, 100, 200}},
                 {Damage::StringOverrunsItsBlock, {320, 200, 100}},
                 {Damage::AllPicturesShareTheFirst, {320, 320, 320}}};
    for (const auto& c : cases) {
        mem.files.AddFileBytes(std::string(kFolder) + "\\Harbour.tsl",
                               testing::DamagedTessel(pictures, links, c.damage));
        window.widths.clear();
        OpenShow();
        show->LoadNewPict();
        show->LoadNewPict();
        EXPECT_EQ(window.widths, c.widths) << static_cast<int>(c.damage);
        EXPECT_EQ(window.closes, 0);
    }

    // Not one picture decodes, however many names point at the failing one.
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> failing;
    for (int k = 0; k < 500; ++k) {
        failing.push_back({"P" + std::to_string(1000 + k) + "JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 1}});
    }
    mem.files.AddFileBytes(std::string(kFolder) + "\\Harbour.tsl",
                           testing::DamagedTessel(failing, {}, Damage::AllPicturesShareTheFirst));
    window.widths.clear();
    OpenShow();
    EXPECT_TRUE(window.widths.empty());
    EXPECT_EQ(mem.dialogs.Texts(), (std::vector<std::string>{std::string(text::NoPictures)}));
    EXPECT_EQ(window.closes, 1);
}

TEST_F(PictureShowTest, NoFileForTheTitleEvenAfterOneRotationStepEndsWithoutAWord) {
    SetUser(config::value::CurrentTessel, "Gone");
    PictureShow gone(mem.platform(), state, window);
    EXPECT_EQ(gone.Open(), OpenOutcome::NoTessel);
    EXPECT_TRUE(mem.dialogs.shown.empty());
}

TEST_F(PictureShowTest, MissingTesselFallsToTheNextOfTheRotation) {
    AddHarbour();
    SetUser(config::value::Tessel, "Gone,Harbour");
    SetUser(config::value::CurrentTessel, "Gone");
    OpenShow();
    EXPECT_EQ(User(config::value::CurrentTessel), "Harbour");
}

// The rotation names titles; the show opens the file the title names in either folder.
TEST_F(PictureShowTest, ATesselOfTheUsersOwnFolderIsShownAndTheInstallationsWinsItsTitle) {
    const std::string users = mem.files.localAppDataDir + "\\Quorvanes\\Tessels";
    AddTessel("Mine", {{"MJPEG", 50, 40}}, {}, users);
    SetUser(config::value::Tessel, "Gone,Mine");
    SetUser(config::value::CurrentTessel, "Gone");
    OpenShow();
    EXPECT_EQ(User(config::value::CurrentTessel), "Mine");
    EXPECT_EQ(window.widths, (std::vector<int>{50}));

    AddTessel("Mine", {{"IJPEG", 70, 40}});  // the installation's own, of the same title
    window.widths.clear();
    OpenShow();
    EXPECT_EQ(window.widths, (std::vector<int>{70}));
}

TEST_F(PictureShowTest, RotationEnabledWithoutTheTrayAdvancesOneStepFirst) {
    AddHarbour();
    AddTessel("Meadow", {{"MJPEG", 50, 40}});
    SetUser(config::value::Tessel, "Harbour,Meadow");
    SetUser(config::value::RotationEnabled, "1");
    state.trayRunning = false;
    OpenShow();
    EXPECT_EQ(User(config::value::CurrentTessel), "Meadow");
    EXPECT_EQ(window.widths, (std::vector<int>{50}));

    // With the tray in service the start of the saver has already chosen.
    state.trayRunning = true;
    window.widths.clear();
    OpenShow();
    EXPECT_EQ(window.widths, (std::vector<int>{50}));

    // So has a start that chose a Tessel for this run only: nothing is advanced.
    state.trayRunning = false;
    state.tesselForThisRun = "Harbour";
    window.widths.clear();
    const auto writes = mem.registry.WriteCount();
    OpenShow();
    EXPECT_EQ(window.widths, (std::vector<int>{320}));
    EXPECT_EQ(mem.registry.WriteCount(), writes);
}

TEST_F(PictureShowTest, ActivationIgnoresTheMouseForASecondButNotTheKeyboard) {
    AddHarbour();
    OpenShow();
    show->OnActivate();
    EXPECT_EQ(window.activationDelays, (std::vector<int>{kActivationMs}));
    show->OnMouseMove(100, 100);
    show->OnMouseMove(300, 300);
    show->OnMouseDown();
    EXPECT_TRUE(window.countdowns.empty());
    EXPECT_EQ(window.closes, 0);
    show->OnKeyDown();
    EXPECT_EQ(window.closes, 1);
    EXPECT_TRUE(show->CloseAllowed());
}

TEST_F(PictureShowTest, ActivationHidesTheCursorAndStartsOnePictureTimer) {
    AddHarbour();
    RunningShow();
    show->OnActivate();  // the window activated again, after a dialog say
    show->OnActivationEnded();
    EXPECT_EQ(window.activationDelays.size(), 1u);
    EXPECT_EQ(window.pictureTimers, (std::vector<int>{8}));
    EXPECT_EQ(window.cursorCounter, -1) << "hidden once, at the first activation";
}

TEST_F(PictureShowTest, FirstMoveAnchorsAndOnlyMoreThanFivePixelsStartsTheOneCountdown) {
    AddHarbour();
    RunningShow();
    show->OnMouseMove(500, 400);
    show->OnMouseMove(505, 395);
    show->OnMouseMove(495, 405);
    EXPECT_TRUE(window.countdowns.empty());
    show->OnMouseMove(506, 400);
    EXPECT_EQ(window.countdowns, (std::vector<int>{5}));
    EXPECT_EQ(window.cursorCounter, 0) << "hidden at activation, shown by the movement";
    show->OnMouseMove(800, 700);
    EXPECT_EQ(window.countdowns.size(), 1u);
}

TEST_F(PictureShowTest, AnAnchorOnTheEdgeCountsAsUnsetAndIsTakenAgain) {
    AddHarbour();
    RunningShow();
    show->OnMouseMove(0, 300);
    show->OnMouseMove(100, 100);  // sets the anchor anew, however far
    EXPECT_TRUE(window.countdowns.empty());
    show->OnMouseMove(100, 106);
    EXPECT_EQ(window.countdowns.size(), 1u);
}

// The window covers the virtual screen, whose client area starts at its top-left corner;
// the picture is centred on the primary monitor and shown only on it.
TEST_F(PictureShowTest, WindowCoversEveryMonitorAndThePictureIsCentredOnThePrimaryOnly) {
    const struct {
        const char* layout;
        Screens screens;
        Picture picture;
        std::pair<int, int> corner;
        ScreenRect visible;
    } cases[] = {
        {"secondary right",
         {{0, 0, 1824, 768}, {0, 0, 1024, 768}},
         {"AJPEG", 320, 240},
         {352, 264},
         {0, 0, 1024, 768}},
        {"secondary left: negative origin",
         {{-800, 0, 1024, 768}, {0, 0, 1024, 768}},
         {"AJPEG", 320, 240},
         {800 + 352, 264},
         {800, 0, 1824, 768}},
        {"secondary above and wider",
         {{-100, -600, 1124, 768}, {0, 0, 1024, 768}},
         {"AJPEG", 320, 240},
         {100 + 352, 600 + 264},
         {100, 600, 1124, 1368}},
        {"picture larger than the primary: cut by its edges",
         {{0, 0, 1824, 768}, {0, 0, 800, 600}},
         {"AJPEG", 1200, 900},
         {-200, -150},
         {0, 0, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        AddTessel("Harbour", {c.picture});
        window.covers.clear();
        window.moves.clear();
        window.screens = c.screens;
        OpenShow();
        ASSERT_FALSE(window.covers.empty()) << "covered before the first picture";
        EXPECT_EQ(window.covers.back(), c.screens.virtualScreen);
        EXPECT_EQ(window.moves, (std::vector<std::pair<int, int>>{c.corner}));
        EXPECT_EQ(window.visible, c.visible);
    }
}

// Movement is measured in the window's client area, also where the pointer is over the
// picture, whose own coordinates start at its corner.
TEST_F(PictureShowTest, MovementOntoThePictureIsMeasuredFromTheSameAnchor) {
    AddHarbour();  // 320 x 240, at 352, 264
    window.screens = {{-800, 0, 1024, 768}, {0, 0, 1024, 768}};
    RunningShow();
    show->OnMouseMove(800 + 350, 300);
    show->OnPictureMouseMove(2, 36);  // client 1154, 300: 4 pixels on
    EXPECT_TRUE(window.countdowns.empty());
    show->OnPictureMouseMove(9, 36);  // 11 pixels on
    EXPECT_EQ(window.countdowns.size(), 1u);
}

TEST_F(PictureShowTest, DisplayChangeReCoversAndReCentresWithoutEndingOrCountingTheShift) {
    AddHarbour();
    window.screens = {{0, 0, 1824, 768}, {0, 0, 1024, 768}};
    RunningShow();
    show->OnMouseMove(500, 400);

    // The secondary moved to the left: the client area's origin moved by 800 pixels under a
    // pointer that stayed.
    window.screens = {{-800, 0, 1024, 768}, {0, 0, 1024, 768}};
    show->OnDisplayChanged();
    EXPECT_EQ(window.covers.back(), window.screens.virtualScreen);
    EXPECT_EQ(window.moves.back(), (std::pair<int, int>{800 + 352, 264}));
    EXPECT_EQ(window.visible, (ScreenRect{800, 0, 1824, 768}));
    show->OnMouseMove(1300, 400);
    show->OnMouseMove(1304, 400);
    EXPECT_TRUE(window.countdowns.empty()) << "the shift is no movement";
    show->OnMouseMove(1310, 400);
    EXPECT_EQ(window.countdowns.size(), 1u);

    // The secondary switched off, then a smaller primary: the picture follows each time.
    window.screens = {{0, 0, 1024, 768}, {0, 0, 1024, 768}};
    show->OnDisplayChanged();
    EXPECT_EQ(window.moves.back(), (std::pair<int, int>{352, 264}));
    window.screens = {{0, 0, 800, 600}, {0, 0, 800, 600}};
    show->OnDisplayChanged();
    EXPECT_EQ(window.covers.back(), (ScreenRect{0, 0, 800, 600}));
    EXPECT_EQ(window.moves.back(), (std::pair<int, int>{240, 180}));
    show->LoadNewPict();
    EXPECT_EQ(window.moves.back(), (std::pair<int, int>{240, 180})) << "later pictures keep it";
    EXPECT_EQ(window.closes, 0);
}

TEST_F(PictureShowTest, CountdownPausesOverALinkAndClosesAtSecondThirteen) {
    AddHarbour();
    RunningShow();
    show->OnMouseMove(500, 400);
    show->OnMouseMove(520, 400);
    ASSERT_EQ(window.countdowns, (std::vector<int>{5}));

    // The pointer reaches link 2 at second 2 and leaves it at second 10.
    mem.clock.onSleep = [&](std::int64_t) {
        if (mem.clock.now == 2000) {
            show->OnPictureMouseMove(200, 10);
        } else if (mem.clock.now == 10000) {
            show->OnPictureMouseMove(200, 100);
        }
    };
    std::optional<std::int64_t> closedAt;
    const Synchronize onWindowThread = [&](const std::function<void()>& step) {
        step();
        if (window.closes > 0 && !closedAt) {
            closedAt = mem.clock.now;
        }
        return true;
    };
    RunCountdown(mem.clock, window.countdowns[0], *show->Suspended(), onWindowThread,
                 [&] { show->OnCountdownTimeout(); });
    ASSERT_TRUE(closedAt);
    EXPECT_NEAR(static_cast<double>(*closedAt), 13000.0, 100.0);
}

TEST_F(PictureShowTest, OverALinkTheHandAndTheHintAndNoPictureChange) {
    AddHarbour();
    RunningShow();
    show->OnPictureMouseMove(200, 10);
    EXPECT_EQ(window.cursor, CursorShape::Hand);
    EXPECT_EQ(window.hint, std::string(text::LinkHint));
    EXPECT_TRUE(show->Suspended()->load());
    show->LoadNewPict();
    EXPECT_EQ(window.widths.size(), 1u);
    show->OnPictureMouseMove(400, 10);  // link 3 is empty: no link there
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    EXPECT_FALSE(window.hint);
    EXPECT_FALSE(show->Suspended()->load());
    show->LoadNewPict();
    EXPECT_EQ(window.widths.size(), 2u);
}

TEST_F(PictureShowTest, ClickOnALinkWritesItNotifiesTheFirstBrowserLinkWindowAndEnds) {
    AddHarbour();
    mem.desktop.windows = {
        {5, "Quorvanes BrowserLink "}, {6, "Quorvanes BrowserLink"}, {7, "Quorvanes BrowserLink"}};
    RunningShow();
    show->OnPictureMouseDown(500, 460);
    EXPECT_EQ(User(config::value::UrlLink), "http://eight.example/");
    ASSERT_EQ(mem.desktop.messages.size(), 1u);
    const auto& sent = mem.desktop.messages[0];
    EXPECT_EQ(sent.kind, MemoryDesktop::Message::Kind::Notify);
    EXPECT_EQ(sent.window, 6u);
    EXPECT_EQ(sent.message, 0x400u);
    EXPECT_EQ(sent.wParam, 1u);
    EXPECT_EQ(sent.lParam, 0);
    EXPECT_EQ(mem.desktop.enumeratedDesktops.back(), std::optional<std::string>("default"));
    EXPECT_EQ(window.closes, 1);
}

TEST_F(PictureShowTest, ClickWithoutALinkEndsWithoutWritingOrTelling) {
    AddHarbour();
    mem.desktop.windows = {{6, "Quorvanes BrowserLink"}};
    SetUser(config::value::UrlLink, "http://before.example/");
    RunningShow();
    show->OnPictureMouseDown(400, 460);  // link 7 is empty
    EXPECT_EQ(window.closes, 1);
    show->OnPictureMouseDown(700, 10);  // beyond the layout
    EXPECT_EQ(window.closes, 2);
    EXPECT_EQ(User(config::value::UrlLink), "http://before.example/");
    EXPECT_TRUE(mem.desktop.messages.empty());
}

TEST_F(PictureShowTest, WrongPasswordKeepsTheShowAndResetsAnchorAndCountdown) {
    AddHarbour();
    RequirePassword({0, 1});
    RunningShow();
    show->OnMouseMove(500, 400);
    show->OnMouseMove(520, 400);
    ASSERT_EQ(window.countdowns.size(), 1u);

    show->OnKeyDown();
    EXPECT_EQ(window.closes, 0);
    EXPECT_EQ(mem.libraries.calls.size(), 1u);
    EXPECT_EQ(mem.libraries.calls[0].window, 77u);
    show->OnCountdownTimeout();  // the countdown running before the check does not close
    EXPECT_EQ(window.closes, 0);

    show->OnMouseMove(600, 500);  // a new anchor
    EXPECT_EQ(window.countdowns.size(), 1u);
    show->OnMouseMove(620, 500);
    EXPECT_EQ(window.countdowns.size(), 2u);

    show->OnKeyDown();
    EXPECT_EQ(window.closes, 1);
}

TEST_F(PictureShowTest, WrongPasswordOnALinkFollowsNothing) {
    AddHarbour();
    RequirePassword({0});
    RunningShow();
    show->OnPictureMouseDown(500, 460);
    EXPECT_EQ(window.closes, 0);
    EXPECT_FALSE(User(config::value::UrlLink));
}

TEST_F(PictureShowTest, NoPasswordOnTheNtFamilyOrWithoutThePasswordLibrary) {
    AddHarbour();
    RequirePassword({0});
    state.isNT = true;
    RunningShow();
    show->OnKeyDown();
    EXPECT_EQ(window.closes, 1);
    EXPECT_TRUE(mem.libraries.calls.empty());

    state.isNT = false;
    mem.libraries.presentLibraries.clear();
    RunningShow();
    show->OnKeyDown();
    EXPECT_EQ(window.closes, 2);
}

}  // namespace
}  // namespace qv::saver
