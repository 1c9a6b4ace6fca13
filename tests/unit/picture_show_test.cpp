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
#include "saver/show_layout.h"
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
    // The primary monitor's picture as before, each of its places once; every frame kept.
    void ShowPictures(const std::vector<MonitorFrame>& shown) override {
        frames = shown;
        if (shown.empty()) {
            return;
        }
        widths.push_back(shown[0].frame->width);
        const std::pair<int, int> corner{shown[0].left, shown[0].top};
        if (moves.empty() || moves.back() != corner) {
            moves.push_back(corner);
        }
        visible = shown[0].visible;
    }
    void RepaintPicture() override { ++repaints; }
    void StartFadeTimer(int ms) override { fadeTimer = ms; }
    void StopFadeTimer() override { fadeTimer = 0; }
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
    void StartDecode(std::shared_ptr<PictureSource> source, FrameRequest start) override {
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
    std::vector<std::pair<std::shared_ptr<PictureSource>, FrameRequest>> held;
    std::vector<MonitorFrame> frames;
    int fadeTimer = 0;  // the period of the running fade timer; 0 for none
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
    AddTessel("Harbour", {{"AJPEG", 640, 480}}, {{8, "http://eight.example/"}});
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

// The monitor modes. Pictures of one colour each tell themselves apart on the monitors.
class ShowModesTest : public PictureShowTest {
  protected:
    using Rgb = std::array<std::uint8_t, 3>;
    static constexpr Rgb kRed{220, 30, 30};
    static constexpr Rgb kGreen{30, 200, 40};
    static constexpr Rgb kBlue{20, 40, 210};
    static constexpr Rgb kWhite{240, 240, 240};

    void AddJpegs(const std::vector<std::vector<std::uint8_t>>& jpegs,
                  const std::map<std::uint16_t, std::string>& links = {}) {
        pe::ResourceLibraryLayout layout;
        char name[] = "AJPEG";
        for (const auto& jpeg : jpegs) {
            layout.rcdata.push_back({name, jpeg});
            ++name[0];
        }
        layout.strings = links;
        mem.files.AddFileBytes(std::string(kFolder) + "\\Harbour.tsl",
                               pe::WriteResourceLibrary(layout));
    }
    void AddColours(std::vector<Rgb> colours, int width = 640, int height = 480,
                    const std::map<std::uint16_t, std::string>& links = {}) {
        std::vector<std::vector<std::uint8_t>> jpegs;
        for (const Rgb& colour : colours) {
            jpegs.push_back(testing::SolidJpeg(width, height, colour));
        }
        AddJpegs(jpegs, links);
    }
    void SetModes(const char* size, const char* monitors, const char* crossfade = "0") {
        SetUser(config::value::PictureSize, size);
        SetUser(config::value::Monitors, monitors);
        SetUser(config::value::Crossfade, crossfade);
    }
    // The colour in the middle of each frame; the frames' places and sizes.
    std::vector<Rgb> Colours() const {
        std::vector<Rgb> colours;
        for (const MonitorFrame& shown : window.frames) {
            const imaging::Frame& frame = *shown.frame;
            const std::uint8_t* p = frame.Pixel(frame.width / 2, frame.height / 2);
            colours.push_back(Near({p[2], p[1], p[0]}));
        }
        return colours;
    }
    std::vector<ScreenRect> Places() const {
        std::vector<ScreenRect> places;
        for (const MonitorFrame& shown : window.frames) {
            places.push_back({shown.left, shown.top, shown.left + shown.frame->width,
                              shown.top + shown.frame->height});
        }
        return places;
    }
    // The known colour a decoded one is closest to (JPEG moves colours a little).
    static Rgb Near(Rgb seen) {
        for (const Rgb& known : {kRed, kGreen, kBlue, kWhite}) {
            int distance = 0;
            for (std::size_t i = 0; i < 3; ++i) {
                distance += std::abs(int{seen[i]} - int{known[i]});
            }
            if (distance < 40) {
                return known;
            }
        }
        return seen;
    }

    // A 1024 x 768 primary, an 800 x 600 monitor left of it and 100 pixels higher, and a
    // 1280 x 1024 one right of it, listed out of order.
    static Screens ThreeMonitors() {
        return {{-800, -100, 2304, 1024},
                {0, 0, 1024, 768},
                {{1024, 0, 2304, 1024}, {0, 0, 1024, 768}, {-800, -100, 0, 500}}};
    }
};

TEST_F(ShowModesTest, EachModeOnOneTwoAndThreeMonitorsPlacesAndChoosesThePictures) {
    const Screens two{
        {0, 0, 1824, 768}, {0, 0, 1024, 768}, {{0, 0, 1024, 768}, {1024, 0, 1824, 600}}};
    struct Case {
        const char* name;
        Screens screens;
        const char* size;
        const char* monitors;
        std::vector<ScreenRect> places;
        std::vector<std::vector<Rgb>> changes;  // the first set, then the next two changes
    };
    const std::vector<Case> cases = {
        {"one monitor, fitted",
         {{0, 0, 800, 600}, {0, 0, 800, 600}, {{0, 0, 800, 600}}},
         "1",
         "2",
         {{0, 0, 800, 600}},
         {{kRed}, {kGreen}, {kBlue}}},
        {"three, \"0\" at own size: the primary only, as always",
         ThreeMonitors(),
         "0",
         "0",
         {{800 + 192, 100 + 144, 800 + 832, 100 + 624}},
         {{kRed}, {kGreen}, {kBlue}}},
        {"three, \"1\" fitted: the same picture filling each, the letterbox left",
         ThreeMonitors(),
         "1",
         "1",
         {{800, 100, 1824, 868}, {0, 0, 800, 600}, {1824, 132, 3104, 1092}},
         {{kRed, kRed, kRed}, {kGreen, kGreen, kGreen}, {kBlue, kBlue, kBlue}}},
        {"three, \"1\" at own size: centred on each",
         ThreeMonitors(),
         "0",
         "1",
         {{992, 244, 1632, 724}, {80, 60, 720, 540}, {2144, 372, 2784, 852}},
         {{kRed, kRed, kRed}, {kGreen, kGreen, kGreen}, {kBlue, kBlue, kBlue}}},
        {"two, \"2\": pictures 1 and 2, then 3 and 4, then on in show order",
         two,
         "1",
         "2",
         {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
         {{kRed, kGreen}, {kBlue, kWhite}, {kGreen, kBlue}}},
        {"three, \"2\"",
         ThreeMonitors(),
         "1",
         "2",
         {{800, 100, 1824, 868}, {0, 0, 800, 600}, {1824, 132, 3104, 1092}},
         {{kRed, kGreen, kBlue}, {kWhite, kGreen, kBlue}, {kWhite, kGreen, kBlue}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddColours({kRed, kGreen, kBlue, kWhite});
        SetModes(c.size, c.monitors);
        window.screens = c.screens;
        OpenShow();
        EXPECT_EQ(window.covers.back(), c.screens.virtualScreen);
        EXPECT_EQ(Places(), c.places);
        for (std::size_t change = 0; change < c.changes.size(); ++change) {
            if (change > 0) {
                show->LoadNewPict();
            }
            EXPECT_EQ(Colours(), c.changes[change]) << "change " << change;
        }
        for (std::size_t i = 0; i < window.frames.size(); ++i) {
            // Each frame is shown only on its own monitor.
            const ScreenRect& monitor = window.frames[i].visible;
            EXPECT_TRUE(monitor.Contains(c.places[i].left, c.places[i].top) ||
                        std::string(c.size) == "0");
        }
    }

    // Fewer pictures than monitors: they repeat, in show order.
    for (const auto& [colours, expected] :
         std::vector<std::pair<std::vector<Rgb>, std::vector<Rgb>>>{
             {{kRed}, {kRed, kRed, kRed}}, {{kRed, kGreen}, {kRed, kGreen, kGreen}}}) {
        AddColours(colours);
        SetModes("1", "2");
        window.screens = ThreeMonitors();
        OpenShow();
        EXPECT_EQ(Colours(), expected);
    }
}

TEST_F(ShowModesTest, DisplayChangeMakesTheFramesAgainForTheNewMonitors) {
    AddColours({kRed, kGreen, kBlue});
    SetModes("1", "1");
    window.screens = ThreeMonitors();
    OpenShow();
    show->LoadNewPict();
    ASSERT_EQ(Colours(), (std::vector<Rgb>{kGreen, kGreen, kGreen}));

    window.screens = {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {{0, 0, 1280, 1024}}};
    show->OnDisplayChanged();
    EXPECT_EQ(Places(), (std::vector<ScreenRect>{{0, 32, 1280, 992}}));
    EXPECT_EQ(Colours(), (std::vector<Rgb>{kGreen})) << "the same picture, made anew";
    show->LoadNewPict();
    EXPECT_EQ(Colours(), (std::vector<Rgb>{kBlue}));

    // A change while a picture is being made: what it makes for the old monitors is made
    // again for the new ones.
    window.holdDecodes = true;
    show->LoadNewPict();
    window.screens = ThreeMonitors();
    show->OnDisplayChanged();
    window.holdDecodes = false;
    const auto [source, request] = window.held.back();
    RunDecode(
        *source, request, [] { return true; },
        [](const std::function<void()>& step) {
            step();
            return true;
        },
        [this](DecodedPicture& decoded) { show->OnPictureDecoded(decoded); });
    EXPECT_EQ(Places().size(), 3u);
    EXPECT_EQ(Places()[2], (ScreenRect{1824, 132, 3104, 1092}));
}

// The link areas are in the picture's coordinates on every monitor, the threshold in the
// screen's pixels.
TEST_F(ShowModesTest, LinksWorkOnTheFittedPictureOfEachMonitorAndTheThresholdStaysInPixels) {
    AddColours({kRed}, 640, 480, {{1, "http://one.example/"}, {5, "http://five.example/"}});
    SetModes("1", "1");
    window.screens = ThreeMonitors();
    mem.desktop.windows = {{6, "Quorvanes BrowserLink"}};
    RunningShow();
    // 5 screen pixels on the enlarged picture are 2.5 of its own: no countdown; 6 start it.
    show->OnPictureMouseMove(600, 400, 2);
    show->OnPictureMouseMove(605, 395, 2);
    EXPECT_TRUE(window.countdowns.empty());
    show->OnPictureMouseMove(606, 400, 2);
    EXPECT_EQ(window.countdowns.size(), 1u);

    // The right monitor: 1280 x 960, scale 2; link 5 is picture y 440 on, frame y 880 on.
    show->OnPictureMouseMove(319, 879, 2);
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    show->OnPictureMouseMove(319, 880, 2);
    EXPECT_EQ(window.cursor, CursorShape::Hand);
    EXPECT_TRUE(show->Suspended()->load());
    show->OnPictureMouseMove(320, 880, 2);  // picture x 160: link 6, empty
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    EXPECT_FALSE(window.hint);

    // Link 1 on the left monitor (800 x 600, scale 1.25): its last pixel, 199, 49.
    show->OnPictureMouseDown(199, 49, 1);
    EXPECT_EQ(User(config::value::UrlLink), "http://one.example/");
    EXPECT_EQ(mem.desktop.messages.size(), 1u);
    EXPECT_EQ(window.closes, 1);
}

// Each Exif orientation of a picture whose quadrants differ is shown upright, fitted, and
// its link areas are the upright picture's.
TEST_F(ShowModesTest, EachOrientationIsShownUprightWithTheLinksOfTheUprightPicture) {
    const std::array<Rgb, 4> stored{kRed, kGreen, kBlue, kWhite};  // TL, TR, BL, BR
    const struct {
        std::uint16_t tag;
        std::array<Rgb, 4> upright;
    } cases[] = {
        {1, {kRed, kGreen, kBlue, kWhite}}, {2, {kGreen, kRed, kWhite, kBlue}},
        {3, {kWhite, kBlue, kGreen, kRed}}, {4, {kBlue, kWhite, kRed, kGreen}},
        {5, {kRed, kBlue, kGreen, kWhite}}, {6, {kBlue, kRed, kWhite, kGreen}},
        {7, {kWhite, kGreen, kBlue, kRed}}, {8, {kGreen, kWhite, kRed, kBlue}},
    };
    for (const auto& [tag, upright] : cases) {
        SCOPED_TRACE(tag);
        const auto jpeg = testing::WithSegment(
            testing::MakeJpeg({.width = 640, .height = 480, .quality = 95, .quadrants = stored}),
            testing::ExifSegment(tag, tag % 2 == 0));
        AddJpegs({jpeg}, {{4, "http://four.example/"}});
        for (const char* size : {"0", "1"}) {
            SCOPED_TRACE(size);
            SetModes(size, "0");
            window.screens = {{0, 0, 1024, 768}, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}};
            RunningShow();
            const imaging::Frame& frame = *window.frames.at(0).frame;
            const bool turned = tag >= 5;
            const int width =
                std::string(size) == "1" ? (turned ? 576 : 1024) : (turned ? 480 : 640);
            ASSERT_EQ(frame.width, width);
            ASSERT_EQ(frame.height, std::string(size) == "1" ? 768 : (turned ? 640 : 480));
            for (std::size_t q = 0; q < 4; ++q) {
                const int x = q % 2 == 0 ? frame.width / 4 : frame.width * 3 / 4;
                const int y = q < 2 ? frame.height / 4 : frame.height * 3 / 4;
                const std::uint8_t* p = frame.Pixel(x, y);
                EXPECT_EQ(Near({p[2], p[1], p[0]}), upright[q]) << "quadrant " << q;
            }
            // Link 4 is x 480 to 639 of a picture 640 wide: beyond a turned one, 480 wide.
            show->OnPictureMouseMove(frame.width - 1, 0);
            EXPECT_EQ(window.cursor, turned ? CursorShape::Arrow : CursorShape::Hand);
            show->OnPictureMouseMove(frame.width / 2, frame.height / 2);
        }
    }
}

// A crossfade blends the monitors' frames over half a second on the window's timer, which
// runs only then; the picture timer keeps its period; a key in mid-fade ends at once.
TEST_F(ShowModesTest, CrossfadeBlendsOnATimerOfItsOwnAndAKeyInMidFadeEndsTheShow) {
    AddColours({kRed, kGreen, kBlue}, 320, 240);
    SetModes("1", "2", "1");
    window.screens = {
        {0, 0, 1824, 768}, {0, 0, 1024, 768}, {{0, 0, 1024, 768}, {1024, 0, 1824, 768}}};
    RunningShow();
    EXPECT_EQ(window.fadeTimer, 0) << "the first pictures come without a fade";
    EXPECT_EQ(Colours(), (std::vector<Rgb>{kRed, kGreen}));
    // Canvases the size of each monitor, the picture centred on them.
    EXPECT_EQ(Places(), (std::vector<ScreenRect>{{0, 0, 1024, 768}, {1024, 0, 1824, 768}}));
    EXPECT_EQ(window.frames[1].frame->Pixel(400, 40)[1], 0) << "the letterbox is black";
    EXPECT_NE(window.frames[1].frame->Pixel(400, 100)[1], 0);

    show->LoadNewPict();
    EXPECT_EQ(window.fadeTimer, kCrossfadeStepMs);
    EXPECT_TRUE(show->Fading());
    const int decodes = window.decodes;
    show->LoadNewPict();
    EXPECT_EQ(window.decodes, decodes) << "no change during a fade";
    mem.clock.now += 250;
    show->OnFadeStep();
    const std::uint8_t* mid = window.frames[0].frame->Pixel(512, 384);
    EXPECT_NEAR(mid[2], (kRed[0] + kBlue[0]) / 2, 8) << "half red, half blue";
    EXPECT_NEAR(mid[0], (kRed[2] + kBlue[2]) / 2, 8);
    mem.clock.now += 250;
    show->OnFadeStep();
    EXPECT_EQ(window.fadeTimer, 0) << "the timer stops with the fade";
    EXPECT_FALSE(show->Fading());
    EXPECT_EQ(Colours(), (std::vector<Rgb>{kBlue, kGreen}));
    EXPECT_EQ(window.pictureTimers, (std::vector<int>{8}));

    show->LoadNewPict();
    ASSERT_TRUE(show->Fading());
    mem.clock.now += 100;
    show->OnFadeStep();
    const int repaints = window.repaints;
    show->OnKeyDown();
    EXPECT_EQ(window.closes, 1);
    EXPECT_EQ(window.fadeTimer, 0);
    show->OnFadeStep();
    EXPECT_EQ(window.repaints, repaints) << "nothing is painted after the end";
}

}  // namespace
}  // namespace qv::saver
