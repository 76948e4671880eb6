// Fuzz target for the name rules: random requests over random names. Built with
// libFuzzer under clang (preset "fuzz"); with other compilers it is linked with
// a replay main that runs the corpus as an ordinary test.
#include "engine/edit_request.h"
#include "engine/name_engine.h"
#include "platform/clock.h"
#include "platform/host_file_system.h"
#include "platform/prompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using namespace renomiq;

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    bool flag() { return byte() & 1; }
    int number(int lo, int hi) { return lo + (byte() | (byte() << 8)) % (hi - lo + 1); }
    template <typename E>
    E choice(int count) { return static_cast<E>(byte() % count); }
    // A text of up to 40 bytes, drawn from a small alphabet rich in the bytes
    // the rules care about, or raw bytes; never a NUL (no typed text holds one).
    std::string text()
    {
        static const char alphabet[] = "ab-_()[]. %$@#?/\\\xc3\xa9\xe5\x86\x99\xf0\x9f\x98\x80\xff";
        std::string s;
        const int length = byte() % 41;
        const bool raw = flag();
        for (int i = 0; i < length; ++i) {
            char c = raw ? static_cast<char>(byte()) : alphabet[byte() % (sizeof alphabet - 1)];
            s += c == '\0' ? 'x' : c;
        }
        return s;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

class SilentPrompter : public Prompter {
public:
    Answer show(const Message &message) override
    {
        return message.buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
    }
};

class NullSink : public OutcomeSink {
public:
    void report(const ItemOutcome &) override {}
};

struct Fixture {
    HostFileSystem fs;
    SilentPrompter prompter;
    SystemClock clock;
    NameEngine utf8{fs, prompter, clock, CodePage(CodePage::Utf8)};
    NameEngine singleByte{fs, prompter, clock, CodePage(CodePage::SingleByte)};
    Fixture() : fs(drives()) {}
    static DriveTable drives()
    {
        // A folder of its own that holds nothing: every item is a file that does not exist.
        static std::string folder = [] {
            std::string pattern = "/tmp/renomiq-fuzz-XXXXXX";
            static char made[32];
            std::string(::mkdtemp(pattern.data())).copy(made, sizeof made - 1);
            std::atexit([] { ::rmdir(made); }); // it stays empty
            return std::string(made);
        }();
        DriveTable table;
        table.setDrive('F', folder);
        return table;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Fixture fixture;
    Input in(data, size);
    EditRequest r;
    r.kind = in.choice<EditKind>(5);
    r.preview = true; // never touch the disk
    const bool singleByte = in.flag();
    r.sampleName = in.text();
    r.selectionStart = in.number(-5, 60);
    r.selectionLength = in.number(-5, 60);
    r.cursorPosition = in.number(-5, 60);
    r.removeMode = in.choice<RemoveMode>(4);
    for (auto &s : r.removeStrings)
        s = in.text();
    r.removeCaseSensitive = in.flag();
    r.removeOnlyLeftmost = in.flag();
    r.anythingMode = in.choice<AnythingMode>(2);
    r.removeDirection = in.choice<Direction>(2);
    r.leftString = in.text();
    r.rightString = in.flag() ? r.leftString : in.text();
    r.alsoRemoveTheTwoStrings = in.flag();
    r.keepMode = in.choice<KeepMode>(2);
    r.keepDirection = in.choice<Direction>(2);
    r.keepStrings = {in.text(), in.text()};
    r.keepOnlyLeftmost = in.flag();
    r.replaceErasedWithSpace = in.flag();
    r.alsoEraseOthers = in.flag();
    r.alsoEraseText = in.text();
    r.keepDash = in.flag();
    r.keepParentheses = in.flag();
    r.keepBrackets = in.flag();
    r.keepUnderscore = in.flag();
    r.keepOthers = in.flag();
    r.keepOthersText = in.text();
    r.replaceMode = in.choice<ReplaceMode>(2);
    r.oldString = in.text();
    r.newString = in.text();
    r.replaceCaseSensitive = in.flag();
    r.replaceOnlyLeftmost = in.flag();
    r.replaceDirection = in.choice<Direction>(2);
    r.insertMode = in.choice<InsertMode>(2);
    r.atHead = in.flag();
    r.headText = in.text();
    r.atEnd = in.flag();
    r.endText = in.text();
    r.atCursor = in.flag();
    r.cursorText = in.text();
    r.cursorDirection = in.choice<Direction>(2);
    r.placement = in.choice<Placement>(3);
    r.existingString = in.text();
    r.secondString = in.text();
    r.insertText = in.text();
    r.changeMode = in.choice<ChangeMode>(2);
    r.newName = in.text();
    r.nameCase = in.choice<NameCase>(3);
    r.capitalizeFirstLetter = in.flag();
    r.includeExtension = in.flag();
    r.excludeSmallWords = in.flag();
    r.extensionMode = in.choice<ExtensionMode>(2);
    r.replaceAllTypes = in.flag();
    r.oldExtension = "." + in.text();
    r.newExtension = in.flag() ? std::string() : "." + in.text();
    r.extensionCase = in.choice<ExtensionCase>(2);
    r.useSpecialStrings = in.flag();
    r.startNumber = in.number(0, 10000);
    r.randomUpper = in.flag();
    r.randomLower = in.flag();
    r.randomDigits = in.flag() || !(r.randomUpper || r.randomLower);

    std::string name = in.text();
    for (char &c : name) {
        if (c == '\\')
            c = '_';
    }
    NullSink sink;
    NameEngine &engine = singleByte ? fixture.singleByte : fixture.utf8;
    engine.specialStrings().setRunningNumber(r.startNumber);
    engine.newNameFor(r, "F:\\" + name, sink);
    engine.checkInputText(r, r.newString);
    return 0;
}
