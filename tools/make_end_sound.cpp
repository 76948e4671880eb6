// Writes "end.wav", the short chime Renomiq plays when a run has ended: two
// soft bell notes, a fifth apart, 16-bit mono PCM at 44.1 kHz.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// One bell-like note: a quick rise, an exponential fall, a touch of the octave.
void addNote(std::vector<double> &samples, double start, double frequency, double length, double volume)
{
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(length * kRate);
    for (int i = 0; i < count && first + i < static_cast<int>(samples.size()); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::fmin(1.0, t / 0.006);
        const double envelope = attack * std::exp(-t * 7.0);
        const double tone = std::sin(2 * kPi * frequency * t) + 0.25 * std::sin(2 * kPi * 2 * frequency * t);
        samples[static_cast<std::size_t>(first + i)] += volume * envelope * tone;
    }
}

void put16(std::FILE *f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xff), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE *f, std::uint32_t v)
{
    put16(f, static_cast<std::uint16_t>(v & 0xffff));
    put16(f, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: make_end_sound OUTPUT.wav\n", stderr);
        return 2;
    }
    std::vector<double> samples(static_cast<std::size_t>(0.6 * kRate), 0.0);
    addNote(samples, 0.00, 783.99, 0.45, 0.30);  // G5
    addNote(samples, 0.11, 1174.66, 0.49, 0.30); // D6
    // A short fade at the very end leaves no click.
    const std::size_t fade = kRate / 100;
    for (std::size_t i = 0; i < fade; ++i)
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;

    std::FILE *f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);           // size of the format chunk
    put16(f, 1);            // PCM
    put16(f, 1);            // mono
    put32(f, kRate);
    put32(f, kRate * 2);    // bytes per second
    put16(f, 2);            // bytes per frame
    put16(f, 16);           // bits per sample
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        put16(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32767))));
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
