Rock
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



2:1






3:2


ClsHiat   [5]



4:3






5:0*

Snare     [ ]
ClsHiat   [3]



6:1






7:2
Kick      [ ]

ClsHiat   [5]



8:3






9:0*
Kick      [ ]

ClsHiat   [3]



10:1






11:2
Kick      [3]

ClsHiat   [5]



12:3

Snare     [6]




13:0*

Snare     [ ]
ClsHiat   [3]



14:1






15:2


ClsHiat   [5]
OpHiat    [4]


16:3

Snare     [6]




17:0*






60
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
