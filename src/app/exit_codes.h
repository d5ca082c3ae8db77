#pragma once
// What relinka.exe's exit code says about how it ended.

namespace relinka {

enum ExitCode : unsigned {
    // As asked: "Encerrar", the close box, EchoLink's Closing, Windows ending the session.
    kEndedAsAsked = 0,
    kNoMainWindow = 1,  // Windows would not make the main window
    // EchoLink's automation object could not be made, or EchoLink runs where Relinka cannot reach it (as
    // administrator where Relinka is not, or the reverse; in another session; as another user); the
    // operator was told why.
    kNoEchoLink = 2,
    // Making EchoLink's object or subscribing to its Closing had not returned after 30 s; the operator
    // was told that EchoLink seems frozen.
    kEchoLinkFrozen = 3,
    // Letting go of EchoLink at the end took too long (EchoLink hung): the process was ended without it.
    kEndOverdue = 4,
    // Another Relinka runs in this folder, and one of the two was started again by Windows at sign-in
    // (restart_win.h): this one made way for it, without a word.
    kAnotherRelinkaHere = 5,
    // Windows started Relinka again in a folder that did not become reachable within two minutes (a
    // network or USB drive not there at sign-in); the operator was told which.
    kRestartFolderUnreachable = 6,
};

}  // namespace relinka
