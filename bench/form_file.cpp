// Form files of a large form: 1,000 controls with 25 stored properties each,
// in the mix the controls write (numbers, colours, texts with escapes and
// umlauts, dates, truth values, a font and a small picture). Target: under
// 20 ms each way, for text and for files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "tavo/host/date.h"
#include "tavo/host/font.h"
#include "tavo/host/form_file.h"
#include "tavo/host/image_encoder.h"
#include "tavo/host/picture.h"

namespace tavo {
namespace {

PictureRef buttonPicture() {
    IndexedImage img;
    img.width = 16;
    img.height = 16;
    img.palette = {0xC0C0C0, 0x000000, 0x808080, 0xFFFFFF};
    img.transparent = 0;
    img.pixels.resize(256);
    for (int i = 0; i < 256; ++i) img.pixels[i] = static_cast<uint8_t>((i * 7 + i / 16) % 4);
    return Picture::fromBytes(encodeGif(img));
}

FormData largeForm() {
    const PictureRef picture = buttonPicture();
    FormData form;
    form.name = "frmLarge";
    for (int i = 0; i < 1000; ++i) {
        FormControlData& c = form.controls.emplace_back();
        c.className = "TavoCalendar.TavoCalendarDropDown";
        c.name = "Cal" + std::to_string(i);
        c.place = {120.0f + i, 240.0f + 2 * i, 3015, 330};
        auto put = [&](const char* key, Variant v, int occurrence = 1) {
            c.properties.add({key, occurrence, std::move(v), "", 0});
        };
        put("Enabled", Variant::boolean(i % 2 == 0));
        put("Font", Variant::object(std::make_shared<Font>("Arial", 9.75, i % 3 == 0)));
        put("CalendarBackColor", Variant::longValue(static_cast<int32_t>(0x80000005u)));
        put("CalendarForeColor", Variant::longValue(static_cast<int32_t>(0x80000012u)));
        put("CalendarTitleBackColor", Variant::longValue(0x00FF8000 + i));
        put("CalendarTitleForeColor", Variant::longValue(static_cast<int32_t>(0x80000012u)));
        put("CalendarTrailingForeColor", Variant::longValue(static_cast<int32_t>(0x80000011u)));
        put("CalendarMonthBackColor", Variant::longValue(static_cast<int32_t>(0x80000005u)));
        put("CustomFormat", Variant::string("dd.MM.yyyy \"Uhr\" HH:mm\t\\ " + std::to_string(i)));
        put("Format", Variant::longValue(3));
        put("MaxDate", Variant::date(dateSerial(9999, 12, 31)));
        put("MinDate", Variant::date(dateSerial(1601, 1, 1)));
        put("Picture", Variant::object(picture));
        put("UpDown", Variant::boolean(false));
        put("Value", Variant::date(dateTimeSerial({2000, 8, 21, i % 24, i % 60, 0})));
        put("ShowToday", Variant::boolean(false));
        put("ShowWeek", Variant::boolean(false));
        put("PictureType", Variant::integer(0));
        put("MonthColumns", Variant::integer(2));
        put("MonthRows", Variant::integer(static_cast<int16_t>(1 + i % 3)));
        put("CalendarMonthBackColor", Variant::longValue(255), 2);
        put("CanOpen", Variant::boolean(false));
        put("ToolTipTextPlus", Variant::string("Aktuelles Element aufklappen – weiß"));
        put("Ratio", Variant::number(0.25 * i));
        put("Tag", Variant::string("Zeile " + std::to_string(i) + "\n\"zitiert\""));
    }
    return form;
}

const FormData& sharedForm() {
    static const FormData form = largeForm();
    return form;
}

const std::string& sharedText() {
    static const std::string text = formatFormText(sharedForm());
    return text;
}

std::string tempPath() {
    return (std::filesystem::temp_directory_path() / ("tavo-bench-" + std::to_string(::getpid()) + ".frm")).string();
}

void BM_FormatFormText(benchmark::State& state) {
    const FormData& form = sharedForm();
    for (auto _ : state) benchmark::DoNotOptimize(formatFormText(form));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sharedText().size()));
}
BENCHMARK(BM_FormatFormText)->Unit(benchmark::kMillisecond);

void BM_ParseFormText(benchmark::State& state) {
    const std::string& text = sharedText();
    for (auto _ : state) benchmark::DoNotOptimize(parseFormText(text, "large.frm"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseFormText)->Unit(benchmark::kMillisecond);

void BM_SaveFormFile(benchmark::State& state) {
    const FormData& form = sharedForm();
    const std::string path = tempPath();
    for (auto _ : state) saveFormFile(path, form);
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sharedText().size()));
}
BENCHMARK(BM_SaveFormFile)->Unit(benchmark::kMillisecond);

void BM_ReadFormFile(benchmark::State& state) {
    const std::string path = tempPath();
    saveFormFile(path, sharedForm());
    for (auto _ : state) benchmark::DoNotOptimize(readFormFile(path));
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sharedText().size()));
}
BENCHMARK(BM_ReadFormFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo
