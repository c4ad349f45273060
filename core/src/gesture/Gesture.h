#pragma once

#include <string>
#include <string_view>
#include <vector>

/// One stored gesture: its name, its direction code (one value per element,
/// 1 pointing to -x, 3 to -y, 5 to +x, 7 to +y) and the name of the image
/// that shows it.
class Gesture
{
  public:
    Gesture() = default;
    /// All three fields; the code is parsed from `codeText` (see setCode).
    Gesture(std::string_view name, std::string_view codeText, std::string_view imageName);

    /// Assigns name and image name and appends the values of `codeText` to
    /// the code, which is not cleared first.
    void set(std::string_view name, std::string_view codeText, std::string_view imageName);
    void setName(std::string_view name) { name_ = name; }
    void setImageName(std::string_view imageName) { imageName_ = imageName; }
    /// Appends one value per non-blank position of `codeText`: the decimal
    /// number read from that position on, as `atoi` reads it. So "1 3 5 7"
    /// gives 1, 3, 5, 7 and "13" gives 13 and then 3.
    void setCode(std::string_view codeText);
    /// Replaces the code with a copy of `code`.
    void setCode(const std::vector<float>& code) { code_ = code; }

    const std::string& getName() const { return name_; }
    const std::vector<float>& getCode() const { return code_; }
    const std::string& getImageName() const { return imageName_; }

  private:
    std::string name_;
    std::vector<float> code_;
    std::string imageName_;
};
