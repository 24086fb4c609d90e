// Drives a program under an X server as a person would and times what
// reaches the screen: key presses go in through XTest, and the X server's
// XDamage reports tell when the window's pixels changed. scripts/bench runs
// it in turns against the drill program and against its floor.
//
// usage: screen_driver startup RSS_AFTER_MS -- COMMAND...
//          exec to the first paint of the first window; with RSS_AFTER_MS
//          above 0, also the resident memory that long after that paint.
//        screen_driver keys PLAN -- COMMAND...
//          Enter on the first window, then the keys of PLAN into the window
//          it opens, each timed to that window's first change.
//        screen_driver idle SECONDS KEY -- COMMAND...
//          Enter, then KEY, then the CPU time and wake-ups of SECONDS.
//
// PLAN is a list of a key and a kind each, "kH qM a- sH aE": H a hit, M a
// miss, E a hit that ends a problem, - a key that is pressed but not timed.
// Each timed key must change the window where its kind does, or the driver
// stops: a plan that fell out of step with the program measures nothing.

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

pid_t Child = 0;

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "screen_driver: %s\n", message.c_str());
    if (Child > 0) {
        kill(Child, SIGKILL);
        waitpid(Child, nullptr, 0);
    }
    std::exit(1);
}

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool intersects(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
    bool contains(const Rect& o) const { return o.x >= x && o.y >= y && o.x + o.w <= x + w && o.y + o.h <= y + h; }
};

// A change of a window's pixels, in that window's coordinates.
struct Damage {
    Clock::time_point at;
    xcb_window_t window;
    Rect area;
};

class Screen {
public:
    Screen()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            Fail("cannot open the display");
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        root_ = xcb_setup_roots_iterator(setup).data->root;

        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        const xcb_query_extension_reply_t* test = xcb_get_extension_data(connection_, &xcb_test_id);
        if (!damage || !damage->present || !test || !test->present)
            Fail("the X server lacks DAMAGE or XTEST");
        damageNotify_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        std::free(xcb_test_get_version_reply(connection_, xcb_test_get_version(connection_, 2, 2), nullptr));

        // The windows of the program are the root's children (no window
        // manager), and damage to the root includes them.
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(connection_, xcb_generate_id(connection_), root_, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        loadKeymap(setup);
        xcb_flush(connection_);
    }

    ~Screen() { xcb_disconnect(connection_); }

    // The next change of a shown window's pixels, or nothing at `deadline`.
    std::optional<Damage> nextDamage(Clock::time_point deadline)
    {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const Clock::time_point at = Clock::now();
                std::optional<Damage> damage = handle(event, at);
                std::free(event);
                if (damage)
                    return damage;
            }
            if (xcb_connection_has_error(connection_))
                Fail("lost the display");
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return std::nullopt;
            pollfd fd {xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left));
        }
    }

    // Handles every event until `deadline`.
    void idleUntil(Clock::time_point deadline)
    {
        while (nextDamage(deadline)) {
        }
    }

    // The next paint of a shown window other than `other`.
    Damage firstPaint(xcb_window_t other, const char* what)
    {
        const Clock::time_point deadline = Clock::now() + 10s;
        while (const std::optional<Damage> d = nextDamage(deadline)) {
            if (d->window != other)
                return *d;
        }
        Fail(std::string("no paint of ") + what);
    }

    // Waits until no window has changed for `quiet`.
    void settle(std::chrono::milliseconds quiet)
    {
        Clock::time_point last = Clock::now();
        while (const std::optional<Damage> d = nextDamage(last + quiet))
            last = d->at;
    }

    // The largest shown window but `other`.
    xcb_window_t largestShown(xcb_window_t other)
    {
        xcb_window_t largest = XCB_NONE;
        for (const xcb_window_t w : shown_) {
            if (w != other && (largest == XCB_NONE || windows_[w].w * windows_[w].h >
                                                      windows_[largest].w * windows_[largest].h))
                largest = w;
        }
        return largest;
    }

    Rect geometry(xcb_window_t window) const
    {
        const auto found = windows_.find(window);
        return found == windows_.end() ? Rect {} : found->second;
    }

    // What a window manager does for the window a person clicks.
    void focus(xcb_window_t window)
    {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    void key(std::uint32_t keysym, bool press)
    {
        const auto code = keycodes_.find(keysym);
        if (code == keycodes_.end())
            Fail("no key for keysym " + std::to_string(keysym));
        xcb_test_fake_input(connection_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code->second, XCB_CURRENT_TIME,
                            XCB_NONE, 0, 0, 0);
        xcb_flush(connection_);
    }

private:
    std::optional<Damage> handle(const xcb_generic_event_t* event, Clock::time_point at)
    {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == damageNotify_) {
            const auto* d = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            const Rect area {d->area.x, d->area.y, d->area.width, d->area.height};
            for (const xcb_window_t w : shown_) {
                const Rect place = windows_[w];
                if (place.intersects(area))
                    return Damage {at, w, {area.x - place.x, area.y - place.y, area.w, area.h}};
            }
            return std::nullopt;
        }
        switch (type) {
        case XCB_CREATE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (e->parent == root_)
                windows_[e->window] = {e->x, e->y, e->width, e->height};
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            if (e->event == root_)
                windows_[e->window] = {e->x, e->y, e->width, e->height};
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (e->event == root_)
                shown_.insert(e->window);
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
            shown_.erase(e->window);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
            shown_.erase(e->window);
            windows_.erase(e->window);
            break;
        }
        case 0:
            Fail("X error " + std::to_string(reinterpret_cast<const xcb_generic_error_t*>(event)->error_code));
        default:
            break;
        }
        return std::nullopt;
    }

    // The unshifted keysym of every key code.
    void loadKeymap(const xcb_setup_t* setup)
    {
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<std::uint8_t>(count)),
            nullptr);
        if (!map)
            Fail("no keyboard mapping");
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int i = 0; i < count; ++i) {
            const xcb_keysym_t sym = syms[i * map->keysyms_per_keycode];
            if (sym != 0 && !keycodes_.contains(sym))
                keycodes_[sym] = static_cast<xcb_keycode_t>(setup->min_keycode + i);
        }
        std::free(map);
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    std::uint8_t damageNotify_ = 0;
    std::map<xcb_window_t, Rect> windows_;
    std::set<xcb_window_t> shown_;
    std::map<xcb_keysym_t, xcb_keycode_t> keycodes_;
};

constexpr xcb_keysym_t ReturnKey = 0xff0d;

Clock::time_point Launch(char** command)
{
    const Clock::time_point start = Clock::now();
    Child = fork();
    if (Child < 0)
        Fail("cannot fork");
    if (Child == 0) {
        // The driver's output is its figures only.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execv(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    return start;
}

void Stop()
{
    kill(Child, SIGTERM);
    int status = 0;
    waitpid(Child, &status, 0);
    Child = 0;
}

std::string ProcFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

long StatusField(const std::string& status, const std::string& field)
{
    const auto at = status.find(field + ":");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size() + 1);
}

// CPU time and wake-ups of one thread so far. A wake-up is the thread
// going to sleep and being woken: a voluntary context switch.
struct Usage {
    double cpuMilliseconds = 0;
    long wakeups = 0;
};

// The usage of every thread of the child, by thread id.
std::map<std::string, Usage> ChildThreads()
{
    std::map<std::string, Usage> threads;
    const std::string tasks = "/proc/" + std::to_string(Child) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir)
        Fail("the program ended early");
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string task = tasks + '/' + entry->d_name;
        std::istringstream sched(ProcFile(task + "/schedstat"));
        double nanoseconds = 0;
        sched >> nanoseconds;
        threads[entry->d_name] = {nanoseconds / 1e6,
                                  std::max(0L, StatusField(ProcFile(task + "/status"), "voluntary_ctxt_switches"))};
    }
    closedir(dir);
    return threads;
}

// What the threads living at the end used since `before`. A thread that
// ended in between (Qt's pooled threads end after 30 s idle) did nothing
// worth counting, or it would not have ended.
Usage UsageSince(const std::map<std::string, Usage>& before)
{
    Usage used;
    for (const auto& [thread, now] : ChildThreads()) {
        const auto then = before.find(thread);
        used.cpuMilliseconds += now.cpuMilliseconds - (then == before.end() ? 0 : then->second.cpuMilliseconds);
        used.wakeups += now.wakeups - (then == before.end() ? 0 : then->second.wakeups);
    }
    return used;
}

struct Started {
    xcb_window_t title;
    xcb_window_t drill;
};

// Launches the program, presses Enter on its first window and waits for
// the windows that open, painted and still; the largest takes the keys
// (the drill window, not the keyboard window beside it).
Started OpenDrill(Screen& screen, char** command)
{
    Launch(command);
    const xcb_window_t title = screen.firstPaint(XCB_NONE, "the first window").window;
    screen.settle(150ms);
    screen.focus(title);
    screen.idleUntil(Clock::now() + 50ms);
    screen.key(ReturnKey, true);
    screen.key(ReturnKey, false);
    screen.firstPaint(title, "the window Enter opens");
    screen.settle(200ms);
    const xcb_window_t drill = screen.largestShown(title);
    screen.focus(drill);
    screen.idleUntil(Clock::now() + 50ms);
    return {title, drill};
}

// Where the changes of one key fell in the drill window.
enum class Rows { Lower = 1, Boo = 2, Sentence = 4 };

int RowsOf(const Rect& area)
{
    // The sentence row starts at 16 and the boo label at 40; a hit changes
    // nothing above the romaji rows (104).
    int rows = 0;
    if (area.y < 40)
        rows |= int(Rows::Sentence);
    if (area.y < 100 && area.y + area.h > 40)
        rows |= int(Rows::Boo);
    if (area.y + area.h > 100)
        rows |= int(Rows::Lower);
    return rows;
}

bool RowsFit(char kind, int rows)
{
    switch (kind) {
    case 'H': return !(rows & int(Rows::Sentence)) && !(rows & int(Rows::Boo));
    case 'M': return (rows & int(Rows::Boo)) && !(rows & int(Rows::Sentence));
    case 'E': return rows & int(Rows::Sentence);
    default: return true;
    }
}

int RunKeys(Screen& screen, const std::string& plan, char** command)
{
    const Started windows = OpenDrill(screen, command);
    const Rect window = screen.geometry(windows.drill);
    // The drill clock's label, which changes every 50 ms by itself.
    const Rect clockLabel {window.w * 2 / 3, 210, window.w, 40};
    std::mt19937 random(15);
    std::istringstream tokens(plan);
    std::string token;
    for (int index = 1; tokens >> token; ++index) {
        if (token.size() != 2)
            Fail("bad plan token " + token);
        const char key = token[0];
        const char kind = token[1];
        // Keys come at no fixed phase of the clock, as a person's do.
        screen.idleUntil(Clock::now() + std::chrono::milliseconds(15 + random() % 25));
        const Clock::time_point pressed = Clock::now();
        screen.key(static_cast<unsigned char>(key), true);
        std::optional<Damage> first;
        int rows = 0;
        const Clock::time_point deadline = pressed + 2s;
        while (const std::optional<Damage> d = screen.nextDamage(first ? first->at + 5ms : deadline)) {
            if (d->window != windows.drill || clockLabel.contains(d->area))
                continue;
            if (!first)
                first = d;
            rows |= RowsOf(d->area);
        }
        screen.key(static_cast<unsigned char>(key), false);
        if (!first)
            Fail(std::string("the window did not change after the key ") + key + " (key " + std::to_string(index) +
                 " of the plan)");
        if (!RowsFit(kind, rows))
            Fail(std::string("the key ") + key + " changed the window unlike a " + kind + " (rows " +
                 std::to_string(rows) + "): the plan is out of step");
        if (kind != '-')
            std::printf("%c %.4f\n", kind, Milliseconds(first->at - pressed));
    }
    Stop();
    return 0;
}

int RunStartup(Screen& screen, int rssAfterMs, char** command)
{
    const Clock::time_point start = Launch(command);
    const Damage paint = screen.firstPaint(XCB_NONE, "the first window");
    std::printf("startup %.4f\n", Milliseconds(paint.at - start));
    if (rssAfterMs > 0) {
        screen.idleUntil(paint.at + std::chrono::milliseconds(rssAfterMs));
        const long rss = StatusField(ProcFile("/proc/" + std::to_string(Child) + "/status"), "VmRSS");
        if (rss < 0)
            Fail("no resident memory");
        std::printf("rss %ld\n", rss);
    }
    Stop();
    return 0;
}

int RunIdle(Screen& screen, int seconds, char key, char** command)
{
    OpenDrill(screen, command);
    screen.key(static_cast<unsigned char>(key), true);
    screen.key(static_cast<unsigned char>(key), false);
    screen.idleUntil(Clock::now() + 300ms);
    const std::map<std::string, Usage> before = ChildThreads();
    // The key is in: another program may take the focus now.
    std::printf("measuring\n");
    std::fflush(stdout);
    screen.idleUntil(Clock::now() + std::chrono::seconds(seconds));
    const Usage used = UsageSince(before);
    std::printf("cpu %.3f\nwakeups %ld\n", used.cpuMilliseconds, used.wakeups);
    Stop();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    int dashes = 1;
    while (dashes < argc && std::strcmp(argv[dashes], "--") != 0)
        ++dashes;
    if (argc < 3 || dashes >= argc - 1) {
        std::fprintf(stderr, "usage: screen_driver startup|keys|idle ARGUMENTS -- COMMAND...\n");
        return 2;
    }
    char** command = argv + dashes + 1;
    const std::string mode = argv[1];
    Screen screen;
    if (mode == "startup" && dashes == 3)
        return RunStartup(screen, std::atoi(argv[2]), command);
    if (mode == "keys" && dashes == 3)
        return RunKeys(screen, argv[2], command);
    if (mode == "idle" && dashes == 4 && std::strlen(argv[3]) == 1)
        return RunIdle(screen, std::atoi(argv[2]), argv[3][0], command);
    std::fprintf(stderr, "screen_driver: bad arguments for %s\n", argv[1]);
    return 2;
}
