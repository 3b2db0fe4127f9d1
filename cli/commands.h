// The commands of fceconv, one file each. The parser fills their options; each command
// prints its results to out and its failures to err, and returns the exit status.
#pragma once

#include "cli/batch.h"
#include "cli/fceconv_main.h"
#include "obj/obj_export.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct Streams {
    std::ostream& out;
    std::ostream& err;
    Terminals terminals;
};

struct InfoOptions {
    bool json = false;
    std::vector<std::string> files;
};

struct ConvertOptions {
    std::string to;
    std::optional<std::string> damaged;
    bool defaultPartNames = false;
    bool force = false;
    bool quiet = false;
    Destination destination;
    std::vector<std::string> inputs;
};

struct CheckOptions {
    bool json = false;
    bool quiet = false;
    std::vector<std::string> files;
};

struct ExportOptions {
    ObjMesh mesh = ObjMesh::Both;
    std::optional<std::string> texture;
    bool force = false;
    bool quiet = false;
    Destination destination;
    std::vector<std::string> inputs;
};

struct ImportOptions {
    std::string to;
    std::optional<std::string> base;
    bool keepOrigin = false;
    bool force = false;
    bool quiet = false;
    Destination destination;
    std::vector<std::string> inputs;
};

struct DiffOptions {
    bool json = false;
    std::string a;
    std::string b;
};

int RunInfo(const InfoOptions& options, const Streams& streams);
int RunConvert(const ConvertOptions& options, const Streams& streams);
int RunCheck(const CheckOptions& options, const Streams& streams);
int RunExport(const ExportOptions& options, const Streams& streams);
int RunDiff(const DiffOptions& options, const Streams& streams);
int RunImport(const ImportOptions& options, const Streams& streams);
