Funk
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
Kick      [ ]

ClsHiat   [3]

Cowbell   [5]

2:1


ClsHiat   [6]



3:2


ClsHiat   [3]



4:3
Kick      [ ]

ClsHiat   [6]



5:0*

Snare     [ ]
ClsHiat   [3]



6:1


ClsHiat   [6]



7:2
Kick      [ ]

ClsHiat   [3]



8:3

Snare     [6]
ClsHiat   [6]



9:0*


ClsHiat   [3]

Cowbell   [5]

10:1

Snare     [6]
ClsHiat   [6]



11:2
Kick      [ ]

ClsHiat   [3]



12:3


ClsHiat   [6]



13:0*

Snare     [ ]
ClsHiat   [3]



14:1
Kick      [ ]

ClsHiat   [6]



15:2


ClsHiat   [3]
OpHiat    [4]


16:3

Snare     [6]
ClsHiat   [6]



17:0*






72
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
