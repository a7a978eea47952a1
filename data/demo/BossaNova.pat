BossaNova
Length:
16
Time:
4



Channel:1
Channel:2
Channel:3
Channel:4
Channel:5
Channel:6
1:0*
Kick      [3]
Rimshot   [ ]
Shaker    [4]
Cymbol2   [5]


2:1


Shaker    [6]



3:2


Shaker    [4]



4:3
Kick      [5]
Rimshot   [ ]
Shaker    [6]



5:0*
Kick      [3]

Shaker    [4]
Cymbol2   [5]


6:1


Shaker    [6]



7:2

Rimshot   [ ]
Shaker    [4]

Congo     [4]

8:3
Kick      [5]

Shaker    [6]



9:0*
Kick      [3]

Shaker    [4]
Cymbol2   [5]


10:1


Shaker    [6]



11:2

Rimshot   [ ]
Shaker    [4]



12:3
Kick      [5]

Shaker    [6]



13:0*
Kick      [3]

Shaker    [4]
Cymbol2   [5]
Congo     [4]

14:1

Rimshot   [ ]
Shaker    [6]



15:2


Shaker    [4]

Congo     [4]

16:3
Kick      [5]

Shaker    [6]



17:0*






64
4
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
