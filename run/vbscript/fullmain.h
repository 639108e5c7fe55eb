#pragma once
// The entry of quillora-script's full module: the runner with JScript and macro runs. It
// takes main's arguments, runs them as quillora-script does and returns the exit status;
// it makes the QCoreApplication when the caller has none.

namespace quillora {

using FullMain = int (*)(int argc, char **argv);
inline constexpr char kFullMainSymbol[] = "quillora_script_full_main";

} // namespace quillora
