//
//  MXRootModel.swift
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

import Foundation

class MXRootModel: Codable {

    var count: Int
    var ratio: Float
    var n: Int
    var e: Int
    var neg: Int
    var half: Float
    var big: Float
    var huge: Float
    var tiny: Float
    var min: Int
    var below: Float
    var over: Float
}
