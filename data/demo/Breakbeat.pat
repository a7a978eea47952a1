Breakbeat
Length:
32
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

Cymbol2   [3]

Cymbol1   [ ]

2:1






3:2
Kick      [ ]

Cymbol2   [3]



4:3






5:0*

Snare     [ ]
Cymbol2   [3]



6:1






7:2


Cymbol2   [3]



8:3

Snare     [5]




9:0*


Cymbol2   [3]



10:1

Snare     [5]




11:2
Kick      [ ]

Cymbol2   [3]



12:3
Kick      [ ]





13:0*

Snare     [ ]
Cymbol2   [3]



14:1






15:2


Cymbol2   [3]



16:3

Snare     [5]




17:0*
Kick      [ ]

Cymbol2   [3]



18:1






19:2
Kick      [ ]

Cymbol2   [3]



20:3






21:0*

Snare     [ ]
Cymbol2   [3]



22:1






23:2


Cymbol2   [3]



24:3

Snare     [5]




25:0*


Cymbol2   [3]



26:1

Snare     [5]




27:2
Kick      [ ]

Cymbol2   [3]
OpHiat    [4]


28:3






29:0*


Cymbol2   [3]



30:1






31:2

Snare     [ ]
Cymbol2   [3]



32:3






33:0*






53
2
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
