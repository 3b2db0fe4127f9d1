#include "cli/fceconv_main.h"

#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <memory>

#ifndef VERRO_VERSION
#define VERRO_VERSION "unknown"
#endif

namespace {

constexpr char USAGE[] =
    "usage: fceconv info [--json] FILE...\n"
    "       fceconv convert --to kesh|verro3|verro3-damaged [--damaged FILE] [--default-part-names]\n"
    "                       [--force] [--quiet] (-o OUTPUT | -d DIRECTORY) INPUT...\n"
    "       fceconv check [--json] [--quiet] FILE...\n"
    "       fceconv export --obj [--mesh normal|damaged] [--texture FILE] [--force] [--quiet]\n"
    "                      (-o OUTPUT | -d DIRECTORY) INPUT...\n"
    "       fceconv import --to kesh|verro3 [--base CAR] [--keep-origin] [--force] [--quiet]\n"
    "                      (-o OUTPUT | -d DIRECTORY) MODEL.obj...\n"
    "       fceconv diff [--json] A B\n"
    "       fceconv --help | --version | COMMAND --help\n";

constexpr char HELP[] =
    "\n"
    "Converts, checks, exports and imports Verro car files (FCE) of the Verro3 and the Verro:Kesh\n"
    "layouts, with the file code of VerroFCEConverter: a converted file is byte for byte what the\n"
    "program writes. A file's layout is told by its first word; a file ending in .obj is a 3D model,\n"
    "built into a car as import builds it.\n"
    "\n"
    "info      prints each FILE's layout, its five counts, its parts and its dummies\n"
    "convert   opens each INPUT and saves it in the layout asked\n"
    "check     tells what is wrong with each FILE: errors, which make the game or the program\n"
    "          misbehave, and warnings, which are legal but suspicious\n"
    "export    writes each INPUT as a Wavefront OBJ file and its material file, for 3D editors\n"
    "import    builds a car from each OBJ file (and its material file) and saves it\n"
    "diff      tells how car B differs from car A: parts (matched by name), dummies, colours and\n"
    "          the header, one line per difference\n"
    "\n"
    "fceconv COMMAND --help tells the options of a command. On a terminal, a batch of files shows\n"
    "its progress on one line (not with --quiet). A file that fails is reported on stderr as\n"
    "'fceconv: FILE: reason'; the others go on.\n"
    "Exit status: 0 when every file succeeded (check: no file has an error), 1 when any failed,\n"
    "2 for a usage error. diff: 0 when the cars are the same, 1 when they differ, 2 on an error.\n";

struct UsageError {
    std::string problem;
};

struct Parsed {
    InfoOptions info;
    ConvertOptions convert;
    CheckOptions check;
    ExportOptions exportObj;
    DiffOptions diff;
    ImportOptions importObj;
    bool obj = false;
    std::string mesh = "both";
};

void AddDestination(CLI::App* command, Destination& destination) {
    CLI::Option* output = command->add_option("-o", destination.output, "the output file, for a single INPUT")
                              ->type_name("OUTPUT");
    CLI::Option* directory =
        command->add_option("-d", destination.directory, "one output per INPUT, named after it, in DIRECTORY")
            ->type_name("DIRECTORY");
    output->excludes(directory);
}

void AddBatchFlags(CLI::App* command, bool& force, bool& quiet) {
    command->add_flag("--force", force, "replaces output files that exist (never an input)");
    command->add_flag("-q,--quiet", quiet, "shows no progress line");
}

void CheckDestination(const std::string& command, const Destination& destination, size_t inputs) {
    if (!destination.output && !destination.directory) {
        throw UsageError{command + ": give either -o OUTPUT or -d DIRECTORY"};
    }
    if (destination.output && inputs > 1) {
        throw UsageError{command + ": -o takes a single INPUT; use -d DIRECTORY for several"};
    }
}

std::unique_ptr<CLI::App> MakeParser(Parsed& parsed) {
    auto app = std::make_unique<CLI::App>("", "fceconv");
    app->footer("Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.");

    CLI::App* info =
        app->add_subcommand("info", "prints each FILE's layout, its five counts, its parts and its dummies");
    info->add_flag("--json", parsed.info.json, "prints one JSON array instead, one object per file");
    info->add_option("FILE", parsed.info.files, "Verro3 or Verro:Kesh files")->required()->type_name("");

    ConvertOptions& convert = parsed.convert;
    CLI::App* convertCommand =
        app->add_subcommand("convert", "opens each INPUT and saves it in the layout asked");
    convertCommand
        ->add_option("--to", convert.to, "kesh, verro3 (the normal car) or verro3-damaged (the damaged car)")
        ->required()
        ->type_name("LAYOUT")
        ->check(CLI::IsMember({"kesh", "verro3", "verro3-damaged"}));
    convertCommand
        ->add_option("--damaged", convert.damaged,
                     "first imports the damaged car from the Verro3 file FILE, "
                     "whose part and vertex counts must match each INPUT's")
        ->type_name("FILE");
    convertCommand->add_flag("--default-part-names", convert.defaultPartNames,
                             "names the first twelve parts as \"Set default\" does");
    AddBatchFlags(convertCommand, convert.force, convert.quiet);
    AddDestination(convertCommand, convert.destination);
    convertCommand->add_option("INPUT", convert.inputs, "Verro3 or Verro:Kesh files")
        ->required()
        ->type_name("");

    CLI::App* check = app->add_subcommand(
        "check", "tells what is wrong with each FILE, and where: errors (the game or the program will\n"
                 "misbehave) and warnings (legal but suspicious)");
    check->add_flag("--json", parsed.check.json, "prints one JSON array instead, one object per file");
    check->add_flag("-q,--quiet", parsed.check.quiet, "shows no progress line");
    check->add_option("FILE", parsed.check.files, "Verro3 or Verro:Kesh files")->required()->type_name("");
    check->footer("Exit status: 0 when no file has an error, 1 when any has, 2 for a usage error.");

    ExportOptions& exportObj = parsed.exportObj;
    CLI::App* exportCommand = app->add_subcommand(
        "export", "writes each INPUT as a Wavefront OBJ file and its material file: one object\n"
                  "per part, DAMAGE_<part> for its damaged mesh where that differs, and each\n"
                  "dummy as a small helper object DUMMY_<nn>_<name>");
    exportCommand->add_flag("--obj", parsed.obj, "the format: Wavefront OBJ, the only one so far")
        ->required();
    exportCommand->add_option("--mesh", parsed.mesh, "one mesh alone, as the parts: normal or damaged")
        ->type_name("MESH")
        ->check(CLI::IsMember({"normal", "damaged"}));
    exportCommand
        ->add_option("--texture", exportObj.texture,
                     "the texture the material file names (default: <name>00.tga or car00.tga beside INPUT)")
        ->type_name("FILE");
    AddBatchFlags(exportCommand, exportObj.force, exportObj.quiet);
    AddDestination(exportCommand, exportObj.destination);
    exportCommand->add_option("INPUT", exportObj.inputs, "Verro3 or Verro:Kesh files")
        ->required()
        ->type_name("");

    CLI::App* diff =
        app->add_subcommand("diff", "tells how car B differs from car A, one line per difference");
    diff->add_flag("--json", parsed.diff.json, "prints one JSON object instead");
    diff->add_option("A", parsed.diff.a, "a Verro3 or Verro:Kesh file")->required()->type_name("");
    diff->add_option("B", parsed.diff.b, "a Verro3 or Verro:Kesh file")->required()->type_name("");
    diff->footer("Exit status: 0 when the cars are the same, 1 when they differ, 2 on an error.");
    ImportOptions& importObj = parsed.importObj;
    CLI::App* importCommand =
        app->add_subcommand("import", "builds a car from each OBJ file (and its material file) and saves it");
    importCommand->add_option("--to", importObj.to, "kesh or verro3")
        ->required()
        ->type_name("LAYOUT")
        ->check(CLI::IsMember({"kesh", "verro3"}));
    importCommand
        ->add_option("--base", importObj.base,
                     "the car that gives what OBJ does not carry: colours, header values, movement\n"
                     "values, the triangles' reserved bytes, part positions and dummies")
        ->type_name("CAR");
    importCommand->add_flag("--keep-origin", importObj.keepOrigin,
                            "parts without a position from a helper or the base sit at the origin");
    AddBatchFlags(importCommand, importObj.force, importObj.quiet);
    AddDestination(importCommand, importObj.destination);
    importCommand->add_option("MODEL", importObj.inputs, "OBJ files")->required()->type_name("");
    return app;
}

} // namespace

int RunFceconv(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               Terminals terminals) {
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << USAGE << HELP;
        return EXIT_ALL_DONE;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        out << "fceconv " VERRO_VERSION "\n";
        return EXIT_ALL_DONE;
    }
    Parsed parsed;
    std::unique_ptr<CLI::App> app = MakeParser(parsed);
    try {
        if (arguments.empty()) {
            throw UsageError{"no command given"};
        }
        const std::string& command = arguments[0];
        if (command != "info" && command != "convert" && command != "check" && command != "export" &&
            command != "import" && command != "diff") {
            throw UsageError{"unknown command " + command};
        }
        try {
            // CLI11 takes the arguments last first.
            std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
            app->parse(reversed);
        } catch (const CLI::CallForHelp&) {
            out << app->help();
            return EXIT_ALL_DONE;
        } catch (const CLI::ParseError& error) {
            std::string problem = error.what();
            throw UsageError{problem.rfind(command + ":", 0) == 0 ? problem : command + ": " + problem};
        }
        Streams streams{out, err, terminals};
        if (command == "info") {
            return RunInfo(parsed.info, streams);
        }
        if (command == "convert") {
            CheckDestination(command, parsed.convert.destination, parsed.convert.inputs.size());
            return RunConvert(parsed.convert, streams);
        }
        if (command == "check") {
            return RunCheck(parsed.check, streams);
        }
        if (command == "diff") {
            return RunDiff(parsed.diff, streams);
        }
        if (command == "import") {
            CheckDestination(command, parsed.importObj.destination, parsed.importObj.inputs.size());
            return RunImport(parsed.importObj, streams);
        }
        CheckDestination(command, parsed.exportObj.destination, parsed.exportObj.inputs.size());
        parsed.exportObj.mesh = parsed.mesh == "damaged"  ? ObjMesh::Damaged
                                : parsed.mesh == "normal" ? ObjMesh::Normal
                                                          : ObjMesh::Both;
        return RunExport(parsed.exportObj, streams);
    } catch (const UsageError& error) {
        err << "fceconv: " << error.problem << "\n" << USAGE;
        return EXIT_USAGE;
    }
}
