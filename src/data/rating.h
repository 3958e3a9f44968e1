#pragma once

#include <cstdint>

namespace MBDataContainer {

// The state of a field or of a group of fields. Worse states have larger numbers, so a group's
// rating is the maximum of its fields' ratings; the values file writes them as the digits 0 to 3.
using Rating = std::int32_t;

inline constexpr Rating RatingNone = 0;
inline constexpr Rating RatingOk = 1;
inline constexpr Rating RatingWarning = 2;
inline constexpr Rating RatingError = 3;

// The ratings' words, as the status table shows them.
struct RatingName {
    Rating rating;
    const wchar_t* word;
};
inline constexpr RatingName kRatingNames[] = {
    {RatingNone, L"none"}, {RatingOk, L"ok"}, {RatingWarning, L"warning"}, {RatingError, L"error"}};

// "ok", "warning", "error"; "none" for a group without fields and for any other value.
inline const wchar_t* RatingWord(Rating rating)
{
    for (const RatingName& entry : kRatingNames) {
        if (entry.rating == rating) {
            return entry.word;
        }
    }
    return kRatingNames[0].word;
}

}  // namespace MBDataContainer
