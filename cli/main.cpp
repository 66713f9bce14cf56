#include <iostream>
#include <string>
#include <vector>

#include "cli/ProfileTool.h"
#include "platform/Platform.h"

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = cli::RunProfileTool(args, ExecutableFolder(), std::cout, std::cerr);
    std::cout.flush();
    // Output cut short (a full disk, a closed pipe) is a failure, not "done".
    if (!std::cout && status != cli::kExitFailed) {
        std::cerr << cli::kToolName << ": the output could not be written\n";
        return cli::kExitFailed;
    }
    return status;
}
