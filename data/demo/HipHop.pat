HipHop
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


ClsHiat   [3]



4:3






5:0*

Snare     [ ]
ClsHiat   [3]



6:1






7:2


ClsHiat   [3]



8:3
Kick      [ ]
Snare     [6]




9:0*


ClsHiat   [3]



10:1

Snare     [6]




11:2
Kick      [ ]

ClsHiat   [3]
Rimshot   [5]


12:3






13:0*

Snare     [ ]
ClsHiat   [3]



14:1






15:2


ClsHiat   [3]



16:3

Snare     [6]
ClsHiat   [5]



17:0*






80
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
