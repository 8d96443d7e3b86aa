// bench-play-exit: whether a program that has played a sound can end the
// ordinary way (its static destructors and the libraries' own clean-up run)
// rather than through endAbruptly, as the program does after a sound.
//
//   bench-play-exit [MS [abrupt]]
//
// plays a sound of a curve through the back-end module, lets the event loop
// run MS milliseconds (default 300: the stream still open), then returns
// from main; with "abrupt", ends as the program does after a sound
// (endAbruptly, once the application object is gone). Run it many times beside a sound server and count the runs that
// do not end with status 0:
//
//   bash tests/desktop/with-pulse bash -c 'for i in $(seq 300); do
//     build/bench-play-exit $((i % 7 * 150)) || echo "run $i: $?"; done'
#include <QCoreApplication>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio_out.h"
#include "platform/power_cut.h"
#include "curve/sound.h"

int main(int argc, char** argv) {
    const int ms = argc > 1 ? std::max(0, std::min(10000, std::atoi(argv[1]))) : 300;
    const bool abrupt = argc > 2 && std::strcmp(argv[2], "abrupt") == 0;
    int code = 0;
    {
        QCoreApplication app(argc, argv);
        sound::Runs runs(1);
        for (int i = 0; i <= 100; ++i) runs[0].push_back(QPointF(-11 + i * 0.22, 8 * std::sin(i * 0.2)));
        if (!audio::play(sound::wav(sound::render(runs, 1.0)))) {
            std::fputs("bench-play-exit: the sound did not play\n", stderr);
            return 3;
        }
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
        code = app.exec();
    }
    if (abrupt) endAbruptly(code);
    return code;
}
